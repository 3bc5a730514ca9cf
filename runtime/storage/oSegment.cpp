#include "storage/oSegment.h"

#include <atomic>
#include <chrono>
#include <cstring>

#include "core/d_Error.h"

namespace {
std::atomic<unsigned long long> resizeCount(0);
std::atomic<unsigned long long> resizeNanoseconds(0);

const unsigned long long LARGEST_FILE = 0xFFFFFFFFull;

[[noreturn]] void throwWrapped(long kind, d_Error *cause, const char *text) {
    d_Error *error = new d_Error(kind);
    *error << text;
    error->set_detail(cause);
    throw error;
}

[[noreturn]] void throwDamaged(const d_String &what) {
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << what;
    throw error;
}
}  // namespace

oSegment::oSegment() : header(nullptr) {}

void oSegment::create(const d_String &name, unsigned long start, unsigned long step) {
    try {
        // Summed wide: on a 32-bit build start + 16 could wrap to a tiny file.
        if (static_cast<unsigned long long>(start) + HEADER_SIZE > LARGEST_FILE || step > LARGEST_FILE) {
            throwDamaged(d_String(" (start ") + start + " does not fit a segment file).");
        }
        oFile::create(name.c_str(), READ_WRITE);
        setSize(start + HEADER_SIZE);
        remap();
        setWord(CAPACITY, static_cast<std::uint32_t>(start));
        setWord(USED, 0);
        setWord(STEP, static_cast<std::uint32_t>(step));
        setWord(RESERVED, 0);
    } catch (d_Error *cause) {
        d_Error *error = new d_Error(d_Error_SegmentCreate);
        *error << " <" << name << ">.";
        error->set_detail(cause);
        throw error;
    }
}

void oSegment::open(const d_String &name, unsigned long unit) {
    try {
        oFile::open(name.c_str(), READ_WRITE, NO_MODE);
        unsigned long fileSize;
        getSize(fileSize);
        if (fileSize < HEADER_SIZE) {
            throwDamaged(d_String(" (the file has ") + fileSize + " bytes, fewer than its 16-byte header).");
        }
        remap();
        checkHeader(fileSize, unit);
    } catch (d_Error *cause) {
        header = nullptr;
        try {
            unmap();
            close();
        } catch (d_Error *ignored) {
            delete ignored;
        }
        d_Error *error = new d_Error(d_Error_SegmentOpen);
        *error << " <" << name << ">.";
        error->set_detail(cause);
        throw error;
    }
}

void oSegment::checkHeader(unsigned long fileSize, unsigned long unit) const {
    unsigned long long capacity = word(CAPACITY), used = word(USED);
    if (capacity + HEADER_SIZE != fileSize) {
        throwDamaged(d_String(" (capacity ") + static_cast<unsigned long>(capacity) +
                     " + 16 differs from the file size " + fileSize + ").");
    }
    if (used > capacity) {
        throwDamaged(d_String(" (used ") + static_cast<unsigned long>(used) + " is larger than the capacity " +
                     static_cast<unsigned long>(capacity) + ").");
    }
    if (used % unit != 0) {
        throwDamaged(d_String(" (used ") + static_cast<unsigned long>(used) + " is not a multiple of " + unit +
                     ").");
    }
}

void oSegment::remap() {
    map();
    getMapAddress(header);
}

void oSegment::requireOpen(const char *operation) const {
    if (header != nullptr) return;
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << " (" << operation << ") the segment is not open.";
    throw error;
}

void oSegment::checkRange(unsigned long pos, unsigned long len, const char *operation) const {
    requireOpen(operation);
    if (fitsWithin(pos, len, word(USED))) return;
    d_Error *error = new d_Error(d_Error_SegmentRange);
    *error << " (" << operation << ")";
    throw error;
}

void oSegment::add(unsigned long &pos, unsigned long len, const char *src) {
    requireOpen("add");
    if (word(CAPACITY) - word(USED) < len) {
        try {
            extend(len);
        } catch (d_Error *cause) {
            throwWrapped(d_Error_SegmentModify, cause, " (add)");
        }
    }
    pos = word(USED);
    setWord(USED, static_cast<std::uint32_t>(pos + len));
    oFile::set(pos + HEADER_SIZE, len, src);
}

void oSegment::get(unsigned long pos, unsigned long len, char *dst) const {
    checkRange(pos, len, "get");
    oFile::get(pos + HEADER_SIZE, len, dst);
}

void oSegment::get(unsigned long pos, unsigned long len, d_Binary &dst) const {
    checkRange(pos, len, "get");
    oFile::get(pos + HEADER_SIZE, len, dst);
}

void oSegment::set(unsigned long pos, unsigned long len, const char *src) {
    requireOpen("set");
    if (!fitsWithin(pos, len, word(USED))) {
        try {
            if (!fitsWithin(pos, len, LARGEST_FILE)) throwDamaged(" (set beyond the largest segment)");
            unsigned long long end = static_cast<unsigned long long>(pos) + len;
            extend(static_cast<unsigned long>(end - word(USED)));
        } catch (d_Error *cause) {
            throwWrapped(d_Error_SegmentModify, cause, " (set)");
        }
    }
    oFile::set(pos + HEADER_SIZE, len, src);
}

void oSegment::set(unsigned long pos, const d_Binary &src) { set(pos, src.getLength(), src.data()); }

void oSegment::move(unsigned long from, unsigned long to, unsigned long len) {
    requireOpen("move");
    if (from == to) return;
    try {
        d_Binary scratch(d_Binary::DEFAULT_SIZE, d_Binary::DEFAULT_STEP);
        get(from, len, scratch);
        if (!fitsWithin(to, len, word(USED))) {
            if (!fitsWithin(to, len, LARGEST_FILE)) throwDamaged(" (move beyond the largest segment)");
            unsigned long long end = static_cast<unsigned long long>(to) + len;
            extend(static_cast<unsigned long>(end - word(USED)));
        }
        oFile::set(to + HEADER_SIZE, scratch);
        if (to < from) del(from - to);
    } catch (d_Error *cause) {
        throwWrapped(d_Error_SegmentModify, cause, " (move)");
    }
}

void oSegment::extend(unsigned long len) {
    requireOpen("extend");
    unsigned long long step = word(STEP), used = word(USED);
    if (step == 0) throw new d_Error(d_Error_SegmentNotExtendable);
    unsigned long long capacity = word(CAPACITY) + step;
    try {
        // Checked before stepping: a huge len with a small step would loop for ages.
        if (used + len + HEADER_SIZE > LARGEST_FILE) throwDamaged(" (beyond the largest segment file)");
        while (capacity - used < len) capacity += step;
        if (capacity + HEADER_SIZE > LARGEST_FILE) throwDamaged(" (beyond the largest segment file)");
        resize(capacity);
    } catch (d_Error *cause) {
        d_Error *error = new d_Error(d_Error_SegmentExtend);
        *error << " to " << len << " bytes.";
        error->set_detail(cause);
        throw error;
    }
}

void oSegment::del(unsigned long len) {
    requireOpen("del");
    if (len > word(USED)) {
        d_Error *error = new d_Error(d_Error_SegmentRange);
        *error << " (del)";
        throw error;
    }
    setWord(USED, static_cast<std::uint32_t>(word(USED) - len));
    unsigned long long step = word(STEP);
    if (step == 0 || word(CAPACITY) - word(USED) <= step * 150 / 100) return;
    try {
        shrink();
    } catch (d_Error *cause) {
        d_Error *error = new d_Error(d_Error_SegmentShrink);
        *error << " of " << len << " bytes.";
        error->set_detail(cause);
        throw error;
    }
}

void oSegment::shrink() {
    unsigned long long step = word(STEP), used = word(USED);
    unsigned long long capacity = word(CAPACITY) - step;
    while (capacity - used > step) capacity -= step;
    resize(capacity);
}

void oSegment::resize(unsigned long long newCapacity) {
    auto started = std::chrono::steady_clock::now();
    char saved[HEADER_SIZE];
    std::memcpy(saved, header, HEADER_SIZE);
    unsigned long oldFileSize = word(CAPACITY) + HEADER_SIZE;
    header = nullptr;
    try {
        unmap();
        setSize(static_cast<unsigned long>(newCapacity + HEADER_SIZE));
        remap();
        writeWord(saved + CAPACITY, static_cast<std::uint32_t>(newCapacity));
    } catch (d_Error *cause) {
        // Stay usable at the old size; if even that fails the segment stays closed.
        header = nullptr;
        try {
            unmap();
            setSize(oldFileSize);
            remap();
        } catch (d_Error *again) {
            header = nullptr;
            delete again;
        }
        if (header != nullptr) std::memcpy(header, saved, HEADER_SIZE);
        throw cause;
    }
    std::memcpy(header, saved, HEADER_SIZE);
    ++resizeCount;
    resizeNanoseconds += static_cast<unsigned long long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count());
}

void oSegment::getDirect(unsigned long pos, char *&ptr) const {
    requireOpen("getDirect");
    ptr = header + HEADER_SIZE + pos;
}

void oSegment::getFull(unsigned long &used) const {
    requireOpen("getFull");
    used = word(USED);
}

unsigned long oSegment::getCapacity() const {
    requireOpen("getCapacity");
    return word(CAPACITY);
}

unsigned long oSegment::getStep() const {
    requireOpen("getStep");
    return word(STEP);
}

void oSegment::sync() { oFile::sync(); }

void oSegment::getResizeStats(unsigned long long &count, unsigned long long &nanoseconds) {
    count = resizeCount;
    nanoseconds = resizeNanoseconds;
}
