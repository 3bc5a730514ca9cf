// The files are fixed-width little-endian throughout, so the 32-bit and the
// 64-bit builds must write the very same bytes for the same operations. This
// scripted run compares every file it writes with one checksum for all builds.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "StorageTestSupport.h"
#include "storage/oStorage.h"

namespace {
std::uint32_t fnv1a(const std::vector<unsigned char> &bytes) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 16777619u;
    }
    return hash;
}

std::string pattern(unsigned long len, unsigned seed) {
    std::string bytes(len, '\0');
    for (unsigned long i = 0; i < len; ++i) bytes[i] = static_cast<char>((i * 31 + seed * 7) & 0xFF);
    return bytes;
}

void script(oStorage &storage) {
    std::vector<unsigned long> numbers;
    for (unsigned i = 0; i < 40; ++i) {
        std::string bytes = pattern(i % 7 == 0 ? 4500 : 10 + i * 13, i);
        d_Binary data(bytes.data(), bytes.size());
        unsigned long number;
        storage.addRecord(0, number, data);
        numbers.push_back(number);
    }
    for (unsigned i = 0; i < 40; i += 3) storage.delRecord(0, numbers[i]);
    for (unsigned i = 1; i < 40; i += 4) {
        if (i % 3 == 0) continue;  // deleted above
        std::string bytes = pattern(i % 2 == 0 ? 10 + i * 13 : 77, i + 100);
        d_Binary data(bytes.data(), bytes.size());
        storage.setRecord(0, numbers[i], data);
    }
    unsigned long reserved, aborted;
    storage.reservePos(0, reserved);
    storage.reservePos(0, aborted);
    storage.abortPos(0, aborted);
    std::string bytes = pattern(300, 9);
    d_Binary data(bytes.data(), bytes.size());
    storage.confirmPos(0, reserved, data);
}
}  // namespace

TEST(StorageFormat, BothBuildsWriteTheSameBytes) {
    TempDir dir;
    std::string base = dir.file("System");
    {
        oStorage storage;
        storage.open("format", nullptr);
        storage.addRef(base.c_str(), 100, 100);
        storage.addData(base.c_str(), 1024, 1024);
        script(storage);
    }
    struct Expected {
        const char *ext;
        std::uint32_t checksum;
    } files[] = {{".erd", 782039378u}, {".erg", 3322548358u}, {".edd", 3073134655u}, {".edh", 1469126822u}};
    for (const Expected &file : files) {
        std::vector<unsigned char> bytes = readFile(base + file.ext);
        EXPECT_EQ(fnv1a(bytes), file.checksum) << file.ext << " of " << bytes.size() << " bytes";
    }
}
