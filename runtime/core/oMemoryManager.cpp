#include "core/oMemoryManager.h"

#include <cstdlib>

#include "core/d_Error.h"

namespace {
// The size is written unsigned: the failing sizes are the large ones, which
// the signed rendering of numbers in messages would show as negative.
[[noreturn]] void raiseOutOfMemory(unsigned long size) {
    d_Error *error = new d_Error(d_Error_OutOfMemory);
    *error << " (size=" << d_String(size) << ").";
    throw error;
}
}  // namespace

void *oMemoryManager::alloc(unsigned long size, const char * /*tag*/) {
    void *block = std::malloc(size);
    if (block == nullptr && size != 0) raiseOutOfMemory(size);
    return block;
}

void *oMemoryManager::realloc(void *block, unsigned long size) {
    void *grown = std::realloc(block, size);
    if (grown == nullptr && size != 0) raiseOutOfMemory(size);
    return grown;
}

void oMemoryManager::free(void *block) { std::free(block); }
