#ifndef TALVOR_CORE_OMEMORYMANAGER_H
#define TALVOR_CORE_OMEMORYMANAGER_H

// Raw memory for buffers, slot blocks, records and persistent objects.
// An exhausted allocator becomes d_Error_OutOfMemory (3300) instead of a null
// pointer, so callers never test for null. Blocks are released with free().
class oMemoryManager {
public:
    static void *alloc(unsigned long size, const char *tag);
    static void *realloc(void *block, unsigned long size);
    static void free(void *block);
};

#endif
