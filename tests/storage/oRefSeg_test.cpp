#include <gtest/gtest.h>

#include "StorageTestSupport.h"
#include "storage/oRefSeg.h"

class RefSegTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string base = dir.file("Person");
    oRefSeg refs;

    void SetUp() override { refs.create(base.c_str(), 100, 100, 0, 1024); }

    unsigned long take() {
        refs.entry() = {1, 0, 0, 0};
        unsigned long n;
        refs.addRecord(n);
        return n;
    }
};

TEST_F(RefSegTest, HandsOutNumbersInOrderThenRecyclesTheLastDeletedFirst) {
    EXPECT_EQ(take(), 0u);
    EXPECT_EQ(take(), 1u);
    EXPECT_EQ(take(), 2u);
    EXPECT_EQ(readFile(base + ".erd").size(), 116u);
    refs.sync();
    EXPECT_EQ(wordAt(readFile(base + ".erd"), 4), 60u);

    refs.delRecord(1);
    refs.delRecord(0);
    unsigned long ghosts, count;
    refs.getGhosts(ghosts);
    EXPECT_EQ(ghosts, 2u);
    refs.getGhost(1);
    EXPECT_EQ(refs.ghost(), 0u);
    refs.getFull(count);
    EXPECT_EQ(count, 3u);  // deleted numbers still count

    EXPECT_EQ(take(), 0u);
    EXPECT_EQ(take(), 1u);
    refs.getGhosts(ghosts);
    refs.getFull(count);
    EXPECT_EQ(ghosts, 0u);
    EXPECT_EQ(count, 3u);
}

TEST_F(RefSegTest, EntriesAreWrittenAsLittleEndianWords) {
    refs.entry() = {1, 2, 0x01020304, 77};
    unsigned long n;
    refs.addRecord(n);
    refs.sync();
    std::vector<unsigned char> bytes = readFile(base + ".erd");
    std::vector<unsigned char> entry(bytes.begin() + 16, bytes.begin() + 36);
    EXPECT_EQ(entry, (std::vector<unsigned char>{1, 0, 0, 0, 2, 0, 0, 0, 4, 3, 2, 1, 77, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(RefSegTest, ReadingPastTheTableFails) {
    take();
    Caught caught = catchError([&] { refs.getRecord(1); });
    ASSERT_EQ(caught.kinds, std::vector<long>{d_Error_SegmentRange});
    EXPECT_EQ(caught.texts[0], "Attempt to access out of data range (get)");
    // A number whose position wraps around on a 32-bit build is refused the same way.
    EXPECT_TRUE(catchError([&] { refs.getRecord(0xFFFFFFFFul / 20 + 1); }).thrown);
}

TEST(RefSegOpen, RefusesAGhostThatNamesALiveEntry) {
    TempDir dir;
    std::string base = dir.copyFixture("badghost", {".erd", ".erg"});
    oRefSeg refs;
    refs.open(base.c_str());
    refs.entry() = {1, 0, 0, 0};
    unsigned long n = 0;
    Caught caught = catchError([&] { refs.addRecord(n); });
    ASSERT_EQ(caught.kinds, std::vector<long>{d_Error_SegmentRange});
    EXPECT_EQ(caught.texts[0], "Attempt to access out of data range (ghost 0 is not a deleted entry).");
    unsigned long ghosts;
    refs.getGhosts(ghosts);
    EXPECT_EQ(ghosts, 1u);
}

TEST(RefSegOpen, RefusesATableThatCutsAnEntry) {
    TempDir dir;
    std::string base = dir.copyFixture("cut", {".erd", ".erg"});
    oRefSeg refs;
    Caught caught = catchError([&] { refs.open(base.c_str()); });
    EXPECT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentOpen, d_Error_SegmentRange}));
}
