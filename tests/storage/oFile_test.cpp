#include <cerrno>
#include <fstream>

#include <gtest/gtest.h>

#include "StorageTestSupport.h"
#include "storage/oFile.h"

TEST(oFile, ExtractPathSplitsAtTheLastSeparator) {
    struct Case {
        const char *path, *dir, *name;
    } cases[] = {
        {"db/business", "db/", "business"},
        {"business", "", "business"},
        {"a\\b/c", "a\\", "b/c"},  // a backslash anywhere wins over later slashes
        {"/x/y/z", "/x/y/", "z"},
        {"dir/", "dir/", ""},
    };
    for (const Case &c : cases) {
        d_String dir, name;
        oFile::extractPath(c.path, dir, name);
        EXPECT_STREQ(dir.c_str(), c.dir) << c.path;
        EXPECT_STREQ(name.c_str(), c.name) << c.path;
    }
}

TEST(oFile, CreateTruncatesAndMapsTheWholeFile) {
    TempDir dir;
    std::string path = dir.file("f");
    std::ofstream(path) << "old contents";
    oFile file;
    file.create(path.c_str(), oFile::READ_WRITE);
    unsigned long size = 1;
    file.getSize(size);
    EXPECT_EQ(size, 0u);
    file.setSize(8);
    file.map();
    file.set(0, 3, "abc");
    char back[3];
    file.get(0, 3, back);
    EXPECT_EQ(std::string(back, 3), "abc");
    file.unmap();
    EXPECT_EQ(readFile(path), (std::vector<unsigned char>{'a', 'b', 'c', 0, 0, 0, 0, 0}));
}

TEST(oFile, SystemErrorsBecomeFileErrors) {
    struct Case {
        int number;
        long kind;
    } cases[] = {{ENOENT, d_Error_FileNotFound},
                 {ESRCH, d_Error_FilePath},
                 {EPIPE, d_Error_FileLocked},
                 {EACCES, d_Error_FileUnknown}};
    oFile file;
    for (const Case &c : cases) {
        errno = c.number;
        Caught caught = catchError([&] { file.checkErrors(); });
        ASSERT_TRUE(caught.thrown);
        EXPECT_EQ(caught.kinds[0], c.kind);
    }
    errno = 0;
    EXPECT_FALSE(catchError([&] { file.checkErrors(); }).thrown);

    Caught missing = catchError([&] { file.open("/nonexistent/talvor", oFile::READ_WRITE, oFile::NO_MODE); });
    EXPECT_EQ(missing.kinds, std::vector<long>{d_Error_FileNotFound});
    EXPECT_EQ(missing.texts[0], "File not found");
}

TEST(oFile, RefusesAPathThatDoesNotFitInsteadOfCuttingIt) {
    TempDir dir;
    std::string longPath = dir.path + "/" + std::string(300, 'x');
    oFile file;
    Caught caught = catchError([&] { file.create(longPath.c_str(), oFile::READ_WRITE); });
    EXPECT_EQ(caught.kinds, std::vector<long>{d_Error_FilePath});
}
