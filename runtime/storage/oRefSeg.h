#ifndef TALVOR_STORAGE_OREFSEG_H
#define TALVOR_STORAGE_OREFSEG_H

#include <cstdint>

#include "core/d_String.h"
#include "storage/oSegment.h"

// The stable numbers of one class's records: a table of 20-byte entries in
// the file B.erd, entry n at position n * 20, each telling where record n lies
// ({in use, padding, data segment, position, size, reserved}, little-endian
// words). Deleted numbers wait on a stack of 4-byte numbers in B.erg and are
// handed out again, most recently deleted first. Not re-entrant: the entry and
// ghost buffers are shared scratch space of the caller.
class oRefSeg {
public:
    static const unsigned long ENTRY_SIZE = 20;
    static const unsigned long GHOST_SIZE = 4;
    static const unsigned long NONE = static_cast<unsigned long>(-1);
    static const char *const defRefExt;    // "rd"
    static const char *const defGhostExt;  // "rg"

    struct Entry {
        std::uint8_t inUse;
        std::uint32_t dataSeg;
        std::uint32_t position;
        std::uint32_t size;
    };

    oRefSeg();

    void create(const d_String &base, unsigned long refStart, unsigned long refStep, unsigned long ghostStart,
                unsigned long ghostStep);
    void open(const d_String &base);

    // Loads entry n into the entry buffer; a number past the end fails with 3906 " (get)".
    void getRecord(unsigned long n);
    // Writes the entry buffer as entry n.
    void setRecord(unsigned long n);
    // Stores the entry buffer under a recycled or a new number.
    void addRecord(unsigned long &n);
    // Marks entry n deleted (from the entry buffer) and pushes n onto the ghost stack.
    void delRecord(unsigned long n);
    void getGhost(unsigned long i);

    void getFull(unsigned long &count) const;
    void getGhosts(unsigned long &count) const;
    void sync();
    void destroy() {}

    Entry &entry() { return entryBuffer; }
    std::uint32_t ghost() const { return ghostBuffer; }

    static d_String fileName(const d_String &base, const char *ext);

private:
    void encode(char *bytes) const;
    // A ghost must name a deleted entry of this table; anything else is damage.
    void checkGhost(std::uint32_t number);

    oSegment ghosts;
    std::uint32_t ghostBuffer;
    Entry entryBuffer;
    oSegment refs;
};

#endif
