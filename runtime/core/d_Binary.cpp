#include "core/d_Binary.h"

#include <cstring>

#include "core/oMemoryManager.h"

namespace {
const char *const kAllocTag = "d_Binary::d_Binary";
const unsigned long long kMaxSize = 0xFFFFFFFFull;
}  // namespace

d_Binary::d_Binary(unsigned long size, unsigned long step)
    : buffer(nullptr), length(0), capacity(0), step(static_cast<std::uint32_t>(step)) {
    if (size != 0) {
        buffer = static_cast<char *>(oMemoryManager::alloc(size, kAllocTag));
        capacity = static_cast<std::uint32_t>(size);
    }
}

d_Binary::d_Binary(const char *src, unsigned long len)
    : d_Binary(len > DEFAULT_SIZE ? len : DEFAULT_SIZE, DEFAULT_STEP) {
    if (len != 0) std::memcpy(buffer, src, len);
    length = static_cast<std::uint32_t>(len);
}

d_Binary::d_Binary(const d_Binary &other) : d_Binary(other.buffer, other.length) {}

// Assignment replaces the content whole: even a fixed buffer takes a block
// large enough for the copy, since a silently short copy would lose data.
d_Binary &d_Binary::operator=(const d_Binary &other) {
    if (this == &other) return *this;
    if (other.length > capacity) {
        buffer = static_cast<char *>(oMemoryManager::realloc(buffer, other.length));
        capacity = other.length;
    }
    if (other.length != 0) std::memcpy(buffer, other.buffer, other.length);
    length = other.length;
    return *this;
}

d_Binary::~d_Binary() {
    if (capacity != 0) oMemoryManager::free(buffer);
}

bool d_Binary::owns(const char *pointer) const {
    return buffer != nullptr && pointer >= buffer && pointer < buffer + capacity;
}

bool d_Binary::makeRoom(unsigned long long required) {
    if (required <= capacity) return true;
    if (step == 0 || required > kMaxSize) return false;
    unsigned long long grown = capacity + step * ((required - capacity) / step + 1);
    if (grown > kMaxSize) return false;
    buffer = static_cast<char *>(oMemoryManager::realloc(buffer, static_cast<unsigned long>(grown)));
    capacity = static_cast<std::uint32_t>(grown);
    return true;
}

bool d_Binary::get(char *dst, unsigned long pos, unsigned long len) const {
    if (pos > length) return false;
    unsigned long available = length - pos;
    if (len > available) len = available;
    if (len != 0) std::memcpy(dst, buffer + pos, len);
    return true;
}

bool d_Binary::get(d_Binary &dst, unsigned long pos, unsigned long len) const {
    if (pos > length) return false;
    unsigned long available = length - pos;
    if (len == 0 || len > available) len = available;
    return dst.set(buffer + pos, 0, len);
}

bool d_Binary::set(const char *src, unsigned long pos, unsigned long len) {
    // src may point into this very buffer: keep its offset across a reallocation.
    bool aliased = owns(src);
    std::ptrdiff_t srcOffset = aliased ? src - buffer : 0;
    if (!makeRoom(static_cast<unsigned long long>(pos) + len)) return false;
    if (aliased) src = buffer + srcOffset;
    if (len != 0) std::memmove(buffer + pos, src, len);
    if (pos + len > length) length = static_cast<std::uint32_t>(pos + len);
    return true;
}

bool d_Binary::insert(const char *src, unsigned long pos, unsigned long len) {
    if (pos > length) return false;
    if (len == 0) return true;
    bool aliased = owns(src);
    std::ptrdiff_t srcOffset = aliased ? src - buffer : 0;
    if (!makeRoom(static_cast<unsigned long long>(length) + len)) return false;
    std::memmove(buffer + pos + len, buffer + pos, length - pos);
    if (aliased) {
        // The source moved with the shifted tail when it lay at or after pos.
        src = buffer + srcOffset + (static_cast<unsigned long>(srcOffset) >= pos ? len : 0);
        if (src < buffer + pos && src + len > buffer + pos) {
            // A source straddling the gap: its tail now lies beyond the gap.
            unsigned long head = (buffer + pos) - src;
            std::memmove(buffer + pos, src, head);
            std::memmove(buffer + pos + head, buffer + pos + len, len - head);
        } else {
            std::memmove(buffer + pos, src, len);
        }
    } else {
        std::memcpy(buffer + pos, src, len);
    }
    length += static_cast<std::uint32_t>(len);
    return true;
}

bool d_Binary::insert(const d_Binary &src, unsigned long pos) {
    return insert(src.buffer, pos, src.length);
}

void d_Binary::cut(unsigned long pos, unsigned long len) {
    if (pos >= length) return;
    unsigned long available = length - pos;
    if (len > available) len = available;
    std::memmove(buffer + pos, buffer + pos + len, available - len);
    length -= static_cast<std::uint32_t>(len);
}

bool d_Binary::reserve(unsigned long size) {
    if (!makeRoom(size)) return false;
    if (size > length) length = static_cast<std::uint32_t>(size);
    return true;
}

void d_Binary::truncate(unsigned long newLength) {
    if (newLength < length) length = static_cast<std::uint32_t>(newLength);
}
