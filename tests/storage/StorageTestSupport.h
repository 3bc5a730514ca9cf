#ifndef TALVOR_TESTS_STORAGE_SUPPORT_H
#define TALVOR_TESTS_STORAGE_SUPPORT_H

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/d_Error.h"

// A fresh directory under the system temp dir, removed with everything in it.
class TempDir {
public:
    TempDir() {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/talvor-storage-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = buffer.data();
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const std::string &name) const { return path + "/" + name; }

    // Copies the fixture files name.* listed in `extensions` into this directory.
    std::string copyFixture(const std::string &name, const std::vector<std::string> &extensions) const {
        const char *data = std::getenv("TALVOR_TEST_DATA");
        for (const std::string &ext : extensions) {
            std::ifstream in(std::string(data != nullptr ? data : "data") + "/" + name + ext, std::ios::binary);
            EXPECT_TRUE(in.good()) << "missing fixture " << name << ext;
            std::ofstream out(file(name + ext), std::ios::binary);
            out << in.rdbuf();
        }
        return file(name);
    }

    std::string path;
};

inline std::vector<unsigned char> readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t wordAt(const std::vector<unsigned char> &bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// What a caught error chain says, link by link, for assertions on kinds and texts.
struct Caught {
    std::vector<long> kinds;
    std::vector<std::string> texts;
    bool thrown = false;
};

template <class Operation>
Caught catchError(Operation operation) {
    Caught caught;
    try {
        operation();
    } catch (d_Error *error) {
        caught.thrown = true;
        for (d_Error *link = error; link != nullptr; link = link->get_detail()) {
            caught.kinds.push_back(link->get_kind());
            caught.texts.push_back(link->what());
        }
        delete error;
    }
    return caught;
}

#endif
