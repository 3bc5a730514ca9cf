#ifndef TALVOR_STORAGE_OSEGMENT_H
#define TALVOR_STORAGE_OSEGMENT_H

#include <cstdint>

#include "core/d_Binary.h"
#include "core/d_String.h"
#include "storage/oFile.h"

// A mapped file holding a growable run of bytes behind a 16-byte header of
// four little-endian words {capacity, used, step, reserved}. The file is always
// capacity + 16 bytes long. Positions are offsets in the data area that follows
// the header. The file grows in whole steps and shrinks only when more than
// one and a half steps lie unused, so alternating adds and deletes at the
// boundary do not resize it each time.
class oSegment : public oFile {
public:
    static const unsigned long HEADER_SIZE = 16;

    oSegment();

    void create(const d_String &name, unsigned long start, unsigned long step);
    // Refuses a file whose header does not fit it; `unit` is the size of the
    // items the data area holds, so that a used length cutting one is refused too.
    void open(const d_String &name, unsigned long unit = 1);

    void add(unsigned long &pos, unsigned long len, const char *src);
    void get(unsigned long pos, unsigned long len, char *dst) const;
    // Appends the bytes to the buffer.
    void get(unsigned long pos, unsigned long len, d_Binary &dst) const;
    void set(unsigned long pos, unsigned long len, const char *src);
    void set(unsigned long pos, const d_Binary &src);
    // Overlap-safe copy; moving a block down also drops from - to bytes at the end.
    void move(unsigned long from, unsigned long to, unsigned long len);
    void extend(unsigned long len);
    void del(unsigned long len);

    // Valid only until the next growth or shrink.
    void getDirect(unsigned long pos, char *&ptr) const;
    void getFull(unsigned long &used) const;
    unsigned long getCapacity() const;
    unsigned long getStep() const;
    void sync();
    void destroy() {}

    // Fixed-width little-endian words, the only integers written to disk.
    static std::uint32_t readWord(const char *at) {
        const unsigned char *bytes = reinterpret_cast<const unsigned char *>(at);
        return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
               static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    }
    static void writeWord(char *at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }

    // True when [pos, pos + len) lies within [0, limit), without wrapping around.
    static bool fitsWithin(unsigned long long pos, unsigned long long len, unsigned long long limit) {
        return pos <= limit && len <= limit - pos;
    }

    // How often files were resized and the time spent doing it, for tuning steps.
    static void getResizeStats(unsigned long long &count, unsigned long long &nanoseconds);

private:
    enum words { CAPACITY = 0, USED = 4, STEP = 8, RESERVED = 12 };

    std::uint32_t word(words at) const { return readWord(header + at); }
    void setWord(words at, std::uint32_t value) { writeWord(header + at, value); }
    void requireOpen(const char *operation) const;
    void checkRange(unsigned long pos, unsigned long len, const char *operation) const;
    void checkHeader(unsigned long fileSize, unsigned long unit) const;
    // Maps the file at newCapacity + 16 bytes and keeps the header; on failure
    // maps the file again at its old size before rethrowing.
    void resize(unsigned long long newCapacity);
    void shrink();
    void remap();

    char *header;
};

#endif
