#include "storage/oDataSeg.h"

#include "core/d_Error.h"
#include "storage/oRefSeg.h"
#include "storage/oStorage.h"

const char *const oDataSeg::defDataExt = "dd";
const char *const oDataSeg::defHoleExt = "dh";

namespace {
[[noreturn]] void throwDamaged(const d_String &what) {
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << what;
    throw error;
}

void encodeHeader(char *bytes, const oDataSeg::Header &header) {
    oSegment::writeWord(bytes, header.refSeg);
    oSegment::writeWord(bytes + 4, header.recordNo);
    oSegment::writeWord(bytes + 8, header.size);
}

oDataSeg::Header decodeHeader(const char *bytes) {
    return {oSegment::readWord(bytes), oSegment::readWord(bytes + 4), oSegment::readWord(bytes + 8)};
}
}  // namespace

oDataSeg::oDataSeg(oStorage *owner) : headerBuffer{0, 0, 0}, holeBuffer{0, 0}, owner(owner) {}

d_String oDataSeg::fileName(const d_String &base, const char *ext) { return base + ".e" + ext; }

void oDataSeg::create(const d_String &base, unsigned long dataStart, unsigned long dataStep,
                      unsigned long holeStart, unsigned long holeStep) {
    records.create(fileName(base, defDataExt), dataStart, dataStep);
    holes.create(fileName(base, defHoleExt), holeStart, holeStep);
}

void oDataSeg::open(const d_String &base) {
    records.open(fileName(base, defDataExt));
    holes.open(fileName(base, defHoleExt), HOLE_SIZE);
}

void oDataSeg::checkRecord(unsigned long pos, unsigned long size, const char *operation) const {
    unsigned long used;
    records.getFull(used);
    if (oSegment::fitsWithin(pos, size, used) && HEADER_SIZE <= used - pos - size) return;
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << " (" << operation << ")";
    throw error;
}

void oDataSeg::addRecord(unsigned long &pos, d_Binary &data) {
    pos = NONE;
    unsigned long long need = static_cast<unsigned long long>(data.getLength()) + HEADER_SIZE;
    char header[HEADER_SIZE];
    encodeHeader(header, headerBuffer);
    unsigned long count;
    getHoles(count);
    for (unsigned long i = 0; i < count; ++i) {
        getHole(i);
        if (holeBuffer.size < need) continue;
        pos = holeBuffer.position;
        records.set(pos, HEADER_SIZE, header);
        records.set(pos + HEADER_SIZE, data);
        if (holeBuffer.size == need) {
            removeHole(i);
        } else {
            Hole rest{static_cast<std::uint32_t>(holeBuffer.position + need),
                      static_cast<std::uint32_t>(holeBuffer.size - need)};
            writeHole(i, rest);
        }
        return;
    }
    unsigned long payloadPos;
    records.add(pos, HEADER_SIZE, header);
    try {
        records.add(payloadPos, data.getLength(), data.data());
    } catch (d_Error *error) {
        // A header without its payload would break the tiling of the file.
        try {
            records.del(HEADER_SIZE);
        } catch (d_Error *ignored) {
            delete ignored;
        }
        pos = NONE;
        throw error;
    }
}

void oDataSeg::setRefPos(unsigned long pos, unsigned long refSeg, unsigned long recordNo, unsigned long size) {
    checkRecord(pos, 0, "set");
    headerBuffer = {static_cast<std::uint32_t>(refSeg), static_cast<std::uint32_t>(recordNo),
                    static_cast<std::uint32_t>(size)};
    char bytes[HEADER_SIZE];
    encodeHeader(bytes, headerBuffer);
    records.set(pos, HEADER_SIZE, bytes);
}

void oDataSeg::getRefPos(unsigned long pos) {
    checkRecord(pos, 0, "get");
    char bytes[HEADER_SIZE];
    records.get(pos, HEADER_SIZE, bytes);
    headerBuffer = decodeHeader(bytes);
}

void oDataSeg::getRecord(unsigned long pos, unsigned long size, char *dst) {
    checkRecord(pos, size, "get");
    records.get(pos + HEADER_SIZE, size, dst);
}

void oDataSeg::getRecord(unsigned long pos, unsigned long size, d_Binary &dst) {
    checkRecord(pos, size, "get");
    records.get(pos + HEADER_SIZE, size, dst);
}

void oDataSeg::setRecord(unsigned long pos, d_Binary &data) {
    checkRecord(pos, data.getLength(), "set");
    records.set(pos + HEADER_SIZE, data);
}

void oDataSeg::delRecord(unsigned long pos, unsigned long size) {
    checkRecord(pos, size, "del");
    unsigned long long recLen = static_cast<unsigned long long>(size) + HEADER_SIZE;
    unsigned long long recEnd = pos + recLen;
    unsigned long used, count;
    records.getFull(used);
    getHoles(count);

    unsigned long prevIndex = NONE, nextIndex = NONE;
    Hole prev{0, 0}, next{0, 0};
    for (unsigned long i = 0; i < count; ++i) {
        getHole(i);
        bool before = holeBuffer.position <= pos;
        if (before && (prevIndex == NONE || holeBuffer.position > prev.position)) {
            prevIndex = i;
            prev = holeBuffer;
        } else if (!before && holeBuffer.position < used &&
                   (nextIndex == NONE || holeBuffer.position < next.position)) {
            nextIndex = i;
            next = holeBuffer;
        }
    }
    if ((prevIndex != NONE && prev.end() > pos) || (nextIndex != NONE && next.position < recEnd)) {
        throwDamaged(d_String(" (a hole overlaps the record at ") + pos + ").");
    }

    unsigned long long gapBefore = prevIndex == NONE ? pos : pos - prev.end();
    unsigned long long gapAfter = (nextIndex == NONE ? used : next.position) - recEnd;
    if (gapAfter <= defHoleOffset) {
        moveBlock(static_cast<unsigned long>(recEnd), static_cast<unsigned long>(gapAfter), pos);
        if (nextIndex == NONE) {
            records.del(static_cast<unsigned long>(recLen));
            return;
        }
        next.position = static_cast<std::uint32_t>(next.position - recLen);
        next.size = static_cast<std::uint32_t>(next.size + recLen);
        writeHole(nextIndex, next);
        compact(nextIndex, count);
    } else if (prevIndex != NONE && gapBefore <= defHoleOffset) {
        unsigned long prevEnd = static_cast<unsigned long>(prev.end());
        moveBlock(prevEnd, static_cast<unsigned long>(gapBefore), static_cast<unsigned long>(prevEnd + recLen));
        prev.size = static_cast<std::uint32_t>(prev.size + recLen);
        writeHole(prevIndex, prev);
        compact(prevIndex, count);
    } else {
        newHole(count, pos, static_cast<unsigned long>(recLen));
    }
}

bool oDataSeg::holeStartsIn(unsigned long long from, unsigned long long to, unsigned long count,
                            unsigned long exclude1, unsigned long exclude2) {
    for (unsigned long i = 0; i < count; ++i) {
        if (i == exclude1 || i == exclude2) continue;
        getHole(i);
        if (holeBuffer.position >= from && holeBuffer.position < to) return true;
    }
    return false;
}

void oDataSeg::compact(unsigned long index, unsigned long count) {
    getHole(index);
    Hole merged = holeBuffer;
    unsigned long used;
    records.getFull(used);
    // The list is in insertion order, so other holes may lie inside the range
    // to be shifted; shifting them would walk their stale bytes as records.
    // Such a merge is skipped: the holes stay as they are, which is still valid.
    if (index == count - 1) {
        unsigned long long tail = used - merged.end();
        if (tail > defHoleOffset || holeStartsIn(merged.end(), used, count, index, NONE)) return;
        moveBlock(static_cast<unsigned long>(merged.end()), static_cast<unsigned long>(tail), merged.position);
        records.del(merged.size);
        holes.del(HOLE_SIZE);
        return;
    }
    getHole(index + 1);
    Hole following = holeBuffer;
    if (following.position < merged.end()) return;
    unsigned long long gap = following.position - merged.end();
    if (gap > defHoleOffset || holeStartsIn(merged.end(), following.position, count, index, index + 1)) return;
    moveBlock(static_cast<unsigned long>(merged.end()), static_cast<unsigned long>(gap),
              static_cast<unsigned long>(merged.end() + following.size));
    merged.size += following.size;
    removeHole(index + 1);
    writeHole(index, merged);
}

void oDataSeg::checkBlock(const d_Binary &block, unsigned long from) {
    if (owner == nullptr) throwDamaged(" (records cannot be moved without their storage).");
    unsigned long long len = block.getLength();
    for (unsigned long long offset = 0; offset < len;) {
        if (offset + HEADER_SIZE > len) throwDamaged(" (a record header crosses the end of the block).");
        Header header = decodeHeader(block.data() + offset);
        unsigned long long end = offset + HEADER_SIZE + header.size;
        if (end > len) throwDamaged(" (a record crosses the end of the block).");
        oRefSeg *ref = owner->getRef(header.refSeg);
        ref->getRecord(header.recordNo);
        const oRefSeg::Entry &entry = ref->entry();
        if (entry.inUse == 0 || entry.position != from + offset || entry.size != header.size ||
            owner->getData(entry.dataSeg) != this) {
            d_Error *error = new d_Error(d_Error_BlockMove);
            *error << " (id=" << static_cast<unsigned long>(header.refSeg)
                   << " pos=" << static_cast<unsigned long>(header.recordNo)
                   << (entry.inUse == 0 ? ") deleted." : ") does not point at the record.");
            throw error;
        }
        offset = end;
    }
}

void oDataSeg::repointBlock(const d_Binary &block, unsigned long to) {
    unsigned long long len = block.getLength();
    for (unsigned long long offset = 0; offset < len;) {
        Header header = decodeHeader(block.data() + offset);
        oRefSeg *ref = owner->getRef(header.refSeg);
        ref->getRecord(header.recordNo);
        ref->entry().position = static_cast<std::uint32_t>(to + offset);
        ref->setRecord(header.recordNo);
        offset += HEADER_SIZE + header.size;
    }
}

void oDataSeg::moveBlock(unsigned long from, unsigned long len, unsigned long to) {
    if (len == 0 || from == to) return;
    try {
        d_Binary block(d_Binary::DEFAULT_SIZE, d_Binary::DEFAULT_STEP);
        records.get(from, len, block);
        checkBlock(block, from);
        repointBlock(block, to);
        records.set(to, block);
    } catch (d_Error *cause) {
        d_Error *error = new d_Error(d_Error_BlockMove);
        *error << " (from=" << from << " to=" << to << " size=" << len << ").";
        error->set_detail(cause);
        throw error;
    }
}

void oDataSeg::newHole(unsigned long, unsigned long pos, unsigned long size) {
    char bytes[HOLE_SIZE];
    oSegment::writeWord(bytes, static_cast<std::uint32_t>(pos));
    oSegment::writeWord(bytes + 4, static_cast<std::uint32_t>(size));
    unsigned long at;
    holes.add(at, HOLE_SIZE, bytes);
}

void oDataSeg::writeHole(unsigned long index, const Hole &entry) {
    char bytes[HOLE_SIZE];
    oSegment::writeWord(bytes, entry.position);
    oSegment::writeWord(bytes + 4, entry.size);
    holes.set(index * HOLE_SIZE, HOLE_SIZE, bytes);
}

void oDataSeg::removeHole(unsigned long index) {
    unsigned long count;
    getHoles(count);
    holes.move((index + 1) * HOLE_SIZE, index * HOLE_SIZE, (count - index - 1) * HOLE_SIZE);
}

void oDataSeg::getHole(unsigned long index) {
    unsigned long count;
    getHoles(count);
    if (index >= count) throwDamaged(" (get)");
    char bytes[HOLE_SIZE];
    holes.get(index * HOLE_SIZE, HOLE_SIZE, bytes);
    holeBuffer = {oSegment::readWord(bytes), oSegment::readWord(bytes + 4)};
    unsigned long used;
    records.getFull(used);
    if (holeBuffer.end() > used) {
        throwDamaged(d_String(" (hole ") + index + " lies outside the records).");
    }
}

void oDataSeg::getHoles(unsigned long &count) const {
    unsigned long used;
    holes.getFull(used);
    count = used / HOLE_SIZE;
}

void oDataSeg::getFull(unsigned long &used) const { records.getFull(used); }

void oDataSeg::getDirect(unsigned long pos, char *&ptr) const { records.getDirect(pos, ptr); }

void oDataSeg::sync() {
    records.sync();
    holes.sync();
}
