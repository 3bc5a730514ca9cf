#ifndef TALVOR_STORAGE_ODATASEG_H
#define TALVOR_STORAGE_ODATASEG_H

#include <cstdint>

#include "core/d_Binary.h"
#include "core/d_String.h"
#include "storage/oSegment.h"

class oStorage;

// Variable-length records in the file B.edd, each behind a 12-byte header
// {reference segment, record number, size} naming the reference entry that
// points at it, so that records can be moved and re-pointed without any other
// index. The free spaces between records are listed in B.edh as 8-byte
// entries {position, size}, in the order they were made. Records and holes
// tile the used area of the record file exactly.
class oDataSeg {
public:
    // The most bytes of live records ever shifted to close a freed space.
    static const unsigned long defHoleOffset = 4096;
    static const char *const defDataExt;  // "dd"
    static const char *const defHoleExt;  // "dh"
    static const unsigned long HEADER_SIZE = 12;
    static const unsigned long HOLE_SIZE = 8;
    static const unsigned long NONE = static_cast<unsigned long>(-1);

    struct Header {
        std::uint32_t refSeg;
        std::uint32_t recordNo;
        std::uint32_t size;
    };
    struct Hole {
        std::uint32_t position;
        std::uint32_t size;
        unsigned long long end() const { return static_cast<unsigned long long>(position) + size; }
    };

    explicit oDataSeg(oStorage *owner);

    void create(const d_String &base, unsigned long dataStart, unsigned long dataStep, unsigned long holeStart,
                unsigned long holeStep);
    void open(const d_String &base);

    // Stores 12 + data length bytes in the first hole that fits, or at the end;
    // the caller writes the real header with setRefPos right after.
    void addRecord(unsigned long &pos, d_Binary &data);
    void setRefPos(unsigned long pos, unsigned long refSeg, unsigned long recordNo, unsigned long size);
    // Loads the header of the record at pos into the header buffer.
    void getRefPos(unsigned long pos);
    void getRecord(unsigned long pos, unsigned long size, char *dst);
    // Appends the payload to the buffer.
    void getRecord(unsigned long pos, unsigned long size, d_Binary &dst);
    // Overwrites the payload in place; the size must be unchanged.
    void setRecord(unsigned long pos, d_Binary &data);
    // Frees the record: closes it up by shifting at most defHoleOffset bytes of
    // neighbouring records, or leaves a hole.
    void delRecord(unsigned long pos, unsigned long size);
    // Moves a run of whole records and re-points their reference entries.
    void moveBlock(unsigned long from, unsigned long len, unsigned long to);
    // Tries to merge hole `index` with the hole after it in the list, or with
    // the end of the records when it is the last entry.
    void compact(unsigned long index, unsigned long count);
    void newHole(unsigned long index, unsigned long pos, unsigned long size);

    void getHole(unsigned long index);
    void getHoles(unsigned long &count) const;
    void getFull(unsigned long &used) const;
    void getDirect(unsigned long pos, char *&ptr) const;
    void sync();
    void displayHoles() {}
    void destroy() {}

    Header &header() { return headerBuffer; }
    Hole &hole() { return holeBuffer; }
    const oSegment &recordFile() const { return records; }
    const oSegment &holeFile() const { return holes; }

    static d_String fileName(const d_String &base, const char *ext);

private:
    void checkRecord(unsigned long pos, unsigned long size, const char *operation) const;
    void writeHole(unsigned long index, const Hole &entry);
    void removeHole(unsigned long index);
    // True when a hole of the list other than the excluded ones starts in [from, to).
    bool holeStartsIn(unsigned long long from, unsigned long long to, unsigned long count, unsigned long exclude1,
                      unsigned long exclude2);
    // Checks every record of the block against its reference entry before
    // anything is changed, so that a refused move leaves everything as it was.
    void checkBlock(const d_Binary &block, unsigned long from);
    void repointBlock(const d_Binary &block, unsigned long to);

    oSegment records;
    Header headerBuffer;
    Hole holeBuffer;
    oSegment holes;
    oStorage *owner;
};

#endif
