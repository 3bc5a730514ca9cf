#ifndef TALVOR_CORE_D_BINARY_H
#define TALVOR_CORE_D_BINARY_H

#include <cstdint>

// Growable byte buffer: records, streams and paths are built in it.
// It grows linearly by its step; a step of 0 makes a fixed buffer that refuses
// (returns false, writes nothing) any write that would pass its capacity.
class d_Binary {
public:
    static const unsigned long DEFAULT_SIZE = 256;
    static const unsigned long DEFAULT_STEP = 64;

    d_Binary(unsigned long size = DEFAULT_SIZE, unsigned long step = DEFAULT_STEP);
    d_Binary(const char *src, unsigned long len);
    d_Binary(const d_Binary &other);
    d_Binary &operator=(const d_Binary &other);
    ~d_Binary();

    // Copies bytes from pos, at most len and never past the length.
    // False (nothing copied) when pos is beyond the length.
    bool get(char *dst, unsigned long pos, unsigned long len) const;
    // The same range written at position 0 of dst; len 0 means everything.
    bool get(d_Binary &dst, unsigned long pos, unsigned long len) const;
    // Writes len bytes at pos, growing as needed; never shortens the buffer.
    bool set(const char *src, unsigned long pos, unsigned long len);
    // Opens a gap of len bytes at pos (pos at most the length) and fills it.
    bool insert(const char *src, unsigned long pos, unsigned long len);
    bool insert(const d_Binary &src, unsigned long pos);
    // Removes len bytes at pos; a range past the length is clipped to it.
    void cut(unsigned long pos, unsigned long len);
    // Makes room for size bytes and raises the length to size; the new bytes
    // are not initialised.
    bool reserve(unsigned long size);

    // Drops everything from newLength on; a larger value changes nothing.
    void truncate(unsigned long newLength);
    void clear() { length = 0; }

    char *data() { return buffer; }
    const char *data() const { return buffer; }
    unsigned long getLength() const { return length; }
    unsigned long getCapacity() const { return capacity; }
    unsigned long getStep() const { return step; }

protected:
    // Grows the block so that it holds at least `required` bytes.
    bool makeRoom(unsigned long long required);
    bool owns(const char *pointer) const;

    char *buffer;
    std::uint32_t length;
    std::uint32_t capacity;
    std::uint32_t step;
};

#endif
