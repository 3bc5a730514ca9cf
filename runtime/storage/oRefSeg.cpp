#include "storage/oRefSeg.h"

#include <cstring>

#include "core/d_Error.h"

const char *const oRefSeg::defRefExt = "rd";
const char *const oRefSeg::defGhostExt = "rg";

oRefSeg::oRefSeg() : ghostBuffer(0), entryBuffer{0, 0, 0, 0} {}

d_String oRefSeg::fileName(const d_String &base, const char *ext) { return base + ".e" + ext; }

void oRefSeg::create(const d_String &base, unsigned long refStart, unsigned long refStep,
                     unsigned long ghostStart, unsigned long ghostStep) {
    refs.create(fileName(base, defRefExt), refStart, refStep);
    ghosts.create(fileName(base, defGhostExt), ghostStart, ghostStep);
}

void oRefSeg::open(const d_String &base) {
    refs.open(fileName(base, defRefExt), ENTRY_SIZE);
    ghosts.open(fileName(base, defGhostExt), GHOST_SIZE);
}

void oRefSeg::encode(char *bytes) const {
    std::memset(bytes, 0, ENTRY_SIZE);
    bytes[0] = static_cast<char>(entryBuffer.inUse);
    oSegment::writeWord(bytes + 4, entryBuffer.dataSeg);
    oSegment::writeWord(bytes + 8, entryBuffer.position);
    oSegment::writeWord(bytes + 12, entryBuffer.size);
}

void oRefSeg::getRecord(unsigned long n) {
    char bytes[ENTRY_SIZE];
    // n * 20 could wrap around on a 32-bit build and land on another entry.
    if (n >= 0xFFFFFFFFul / ENTRY_SIZE) {
        d_Error *error = new d_Error(d_Error_SegmentRange);
        *error << " (get)";
        throw error;
    }
    refs.get(n * ENTRY_SIZE, ENTRY_SIZE, bytes);
    entryBuffer.inUse = static_cast<std::uint8_t>(bytes[0]);
    entryBuffer.dataSeg = oSegment::readWord(bytes + 4);
    entryBuffer.position = oSegment::readWord(bytes + 8);
    entryBuffer.size = oSegment::readWord(bytes + 12);
}

void oRefSeg::setRecord(unsigned long n) {
    char bytes[ENTRY_SIZE];
    encode(bytes);
    unsigned long count;
    getFull(count);
    // Writing past the table would leave a gap of entries that were never written.
    if (n >= count) {
        d_Error *error = new d_Error(d_Error_SegmentRange);
        *error << " (set)";
        throw error;
    }
    refs.set(n * ENTRY_SIZE, ENTRY_SIZE, bytes);
}

void oRefSeg::checkGhost(std::uint32_t number) {
    unsigned long count;
    getFull(count);
    char flag = 1;
    if (number < count) refs.get(static_cast<unsigned long>(number) * ENTRY_SIZE, 1, &flag);
    if (flag == 0) return;
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << " (ghost " << static_cast<unsigned long>(number) << " is not a deleted entry).";
    throw error;
}

void oRefSeg::addRecord(unsigned long &n) {
    n = NONE;
    unsigned long ghostBytes;
    ghosts.getFull(ghostBytes);
    if (ghostBytes != 0) {
        char top[GHOST_SIZE];
        ghosts.get(ghostBytes - GHOST_SIZE, GHOST_SIZE, top);
        std::uint32_t recycled = oSegment::readWord(top);
        checkGhost(recycled);
        char bytes[ENTRY_SIZE];
        encode(bytes);
        refs.set(static_cast<unsigned long>(recycled) * ENTRY_SIZE, ENTRY_SIZE, bytes);
        ghosts.del(GHOST_SIZE);
        n = recycled;
        return;
    }
    char bytes[ENTRY_SIZE];
    encode(bytes);
    unsigned long pos;
    refs.add(pos, ENTRY_SIZE, bytes);
    n = pos / ENTRY_SIZE;
}

void oRefSeg::delRecord(unsigned long n) {
    entryBuffer.inUse = 0;
    // Push first: if the ghost file cannot grow, the entry stays in use and no
    // number is lost; a pushed number always names a deleted entry afterwards.
    char number[GHOST_SIZE];
    oSegment::writeWord(number, static_cast<std::uint32_t>(n));
    unsigned long count;
    getFull(count);
    if (n >= count) {
        d_Error *error = new d_Error(d_Error_SegmentRange);
        *error << " (set)";
        throw error;
    }
    unsigned long pos;
    ghosts.add(pos, GHOST_SIZE, number);
    setRecord(n);
}

void oRefSeg::getGhost(unsigned long i) {
    char bytes[GHOST_SIZE];
    if (i >= 0xFFFFFFFFul / GHOST_SIZE) {
        d_Error *error = new d_Error(d_Error_SegmentRange);
        *error << " (get)";
        throw error;
    }
    ghosts.get(i * GHOST_SIZE, GHOST_SIZE, bytes);
    ghostBuffer = oSegment::readWord(bytes);
}

void oRefSeg::getFull(unsigned long &count) const {
    unsigned long used;
    refs.getFull(used);
    count = used / ENTRY_SIZE;
}

void oRefSeg::getGhosts(unsigned long &count) const {
    unsigned long used;
    ghosts.getFull(used);
    count = used / GHOST_SIZE;
}

void oRefSeg::sync() {
    refs.sync();
    ghosts.sync();
}
