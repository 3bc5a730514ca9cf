#include <string>
#include <sys/resource.h>
#include <csignal>

#include <gtest/gtest.h>

#include "StorageTestSupport.h"
#include "storage/oSegment.h"

namespace {
struct Header {
    std::uint32_t capacity, used, step, reserved;
    std::size_t fileSize;
};

Header headerOf(const std::string &path) {
    std::vector<unsigned char> bytes = readFile(path);
    if (bytes.size() < 16) return {0, 0, 0, 0, bytes.size()};
    return {wordAt(bytes, 0), wordAt(bytes, 4), wordAt(bytes, 8), wordAt(bytes, 12), bytes.size()};
}

void expectHeader(const std::string &path, std::uint32_t capacity, std::uint32_t used, std::uint32_t step) {
    Header header = headerOf(path);
    EXPECT_EQ(header.capacity, capacity);
    EXPECT_EQ(header.used, used);
    EXPECT_EQ(header.step, step);
    EXPECT_EQ(header.reserved, 0u);
    EXPECT_EQ(header.fileSize, capacity + 16u);
}
}  // namespace

class SegmentTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("seg");
    oSegment segment;
    std::string bytes = std::string(5000, 'q');

    void fill(unsigned long len) {
        unsigned long pos;
        segment.add(pos, len, bytes.data());
    }
};

TEST_F(SegmentTest, CreateWritesTheHeader) {
    segment.create(path.c_str(), 1024, 1024);
    expectHeader(path, 1024, 0, 1024);
}

TEST_F(SegmentTest, GrowsInWholeStepsOnlyWhenFull) {
    segment.create(path.c_str(), 1024, 1024);
    fill(1024);
    expectHeader(path, 1024, 1024, 1024);
    fill(1);
    expectHeader(path, 2048, 1025, 1024);

    oSegment other;
    std::string otherPath = dir.file("other");
    other.create(otherPath.c_str(), 1024, 1024);
    unsigned long pos;
    other.add(pos, 1025, bytes.data());
    other.sync();
    expectHeader(otherPath, 2048, 1025, 1024);
    EXPECT_EQ(pos, 0u);
}

TEST_F(SegmentTest, ShrinksOnlyPastOneAndAHalfSteps) {
    struct Case {
        unsigned long used, removed, capacityAfter;
    } cases[] = {
        {3000, 2000, 1024},  // 2072 free: two steps go, 24 bytes stay free
        {3072, 1536, 3072},  // exactly 1536 free: no shrink
        {3072, 1537, 2048},  // 1537 free: one step goes
    };
    for (const Case &c : cases) {
        oSegment shrinking;
        std::string name = dir.file("shrink" + std::to_string(c.removed));
        shrinking.create(name.c_str(), 3072, 1024);
        unsigned long pos;
        shrinking.add(pos, c.used, bytes.data());
        shrinking.del(c.removed);
        shrinking.sync();
        expectHeader(name, c.capacityAfter, c.used - c.removed, 1024);
    }
}

TEST_F(SegmentTest, ReadsUpToUsedAndNoFurther) {
    segment.create(path.c_str(), 64, 64);
    fill(10);
    char out[11];
    EXPECT_FALSE(catchError([&] { segment.get(0, 10, out); }).thrown);
    Caught caught = catchError([&] { segment.get(0, 11, out); });
    EXPECT_EQ(caught.kinds, std::vector<long>{d_Error_SegmentRange});
    EXPECT_EQ(caught.texts[0], "Attempt to access out of data range (get)");
    // A position near the top of the address range must not wrap around.
    EXPECT_TRUE(catchError([&] { segment.get(static_cast<unsigned long>(-4), 8, out); }).thrown);
    Caught del = catchError([&] { segment.del(11); });
    EXPECT_EQ(del.texts[0], "Attempt to access out of data range (del)");
}

TEST_F(SegmentTest, MoveCopiesOverlappingRangesAndDropsTheGapBelow) {
    segment.create(path.c_str(), 64, 64);
    unsigned long pos;
    segment.add(pos, 12, "abcdefghijkl");
    segment.move(4, 4, 8);
    unsigned long used;
    segment.getFull(used);
    EXPECT_EQ(used, 12u);
    segment.move(8, 0, 4);  // down by 8 bytes
    segment.getFull(used);
    EXPECT_EQ(used, 4u);
    char out[4];
    segment.get(0, 4, out);
    EXPECT_EQ(std::string(out, 4), "ijkl");
    segment.move(0, 2, 4);  // overlapping, up
    segment.getFull(used);
    EXPECT_EQ(used, 4u);
    char *direct;
    segment.getDirect(2, direct);
    EXPECT_EQ(std::string(direct, 4), "ijkl");
}

TEST_F(SegmentTest, AFullFixedSegmentRefusesAndStaysAsItWas) {
    segment.create(path.c_str(), 16, 0);
    fill(16);
    Caught caught = catchError([&] { fill(1); });
    ASSERT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentModify, d_Error_SegmentNotExtendable}));
    EXPECT_EQ(caught.texts[0], "Cannot modify data in segment (add)");
    segment.sync();
    expectHeader(path, 16, 16, 0);
    segment.del(16);  // a fixed segment never shrinks
    segment.sync();
    expectHeader(path, 16, 0, 0);
}

TEST_F(SegmentTest, AFailedGrowthLeavesTheSegmentUsableAtItsOldSize) {
    segment.create(path.c_str(), 64, 4096);
    fill(64);
    // Files may not grow past 1000 bytes: the resize fails inside the system call.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limited = saved;
    limited.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limited);
    Caught caught = catchError([&] { fill(1); });
    setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_EQ(caught.kinds.size(), 3u);
    EXPECT_EQ(caught.kinds[0], d_Error_SegmentModify);
    EXPECT_EQ(caught.kinds[1], d_Error_SegmentExtend);
    EXPECT_EQ(caught.texts[1], "Cannot extend the segment to 1 bytes.");
    EXPECT_EQ(caught.kinds[2], d_Error_FileUnknown);
    char out[64];
    segment.get(0, 64, out);
    EXPECT_EQ(std::string(out, 64), bytes.substr(0, 64));
    segment.sync();
    expectHeader(path, 64, 64, 4096);
    fill(1);  // and it grows again once the system lets it
    segment.sync();
    expectHeader(path, 64 + 4096, 65, 4096);
}

TEST(SegmentOpen, RefusesHeadersThatDoNotFitTheirFile) {
    struct Case {
        const char *fixture, *ext;
        unsigned long unit;
        const char *cause;
    } cases[] = {
        {"short", ".edd", 1, "Attempt to access out of data range (the file has 6 bytes, fewer than its 16-byte header)."},
        {"capacity", ".edd", 1,
         "Attempt to access out of data range (capacity 100 + 16 differs from the file size 80)."},
        {"used", ".edd", 1, "Attempt to access out of data range (used 200 is larger than the capacity 64)."},
        {"cut", ".erd", 20, "Attempt to access out of data range (used 30 is not a multiple of 20)."},
    };
    TempDir dir;
    for (const Case &c : cases) {
        std::string base = dir.copyFixture(c.fixture, {c.ext});
        oSegment segment;
        Caught caught = catchError([&] { segment.open((base + c.ext).c_str(), c.unit); });
        ASSERT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentOpen, d_Error_SegmentRange})) << c.fixture;
        EXPECT_EQ(caught.texts[0], "Cannot open the segment <" + base + c.ext + ">.");
        EXPECT_EQ(caught.texts[1], c.cause);
    }
    oSegment missing;
    Caught caught = catchError([&] { missing.open(dir.file("none").c_str()); });
    EXPECT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentOpen, d_Error_FileNotFound}));
}

TEST(SegmentCreate, WrapsTheFileError) {
    oSegment segment;
    Caught caught = catchError([&] { segment.create("/nonexistent/dir/seg", 16, 16); });
    ASSERT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentCreate, d_Error_FileNotFound}));
    EXPECT_EQ(caught.texts[0], "Cannot create the segment </nonexistent/dir/seg>.");
}

// Sizes that cannot fit a segment file (capacity + 16 bytes in 32 bits) are
// refused at once, on either build, and leave nothing half made.
TEST(SegmentSizes, SizesBeyondTheLargestFileAreRefused) {
    TempDir dir;
    std::string path = dir.file("huge");
    oSegment created;
    // On a 32-bit build start + 16 wraps around to a file of 8 bytes.
    Caught caught = catchError([&] { created.create(path.c_str(), 0xFFFFFFF8ul, 1024); });
    ASSERT_EQ(caught.kinds, (std::vector<long>{d_Error_SegmentCreate, d_Error_SegmentRange}));
    EXPECT_EQ(caught.texts[0], "Cannot create the segment <" + path + ">.");

    oSegment segment;
    std::string small = dir.file("small");
    segment.create(small.c_str(), 16, 1);
    std::string bytes(16, 'b');
    unsigned long pos;
    segment.add(pos, 16, bytes.data());
    // A step of one byte must not be counted out step by step up to the request.
    unsigned long huge = sizeof(unsigned long) > 4 ? static_cast<unsigned long>(1ull << 40) : 0xFFFFFFF0ul;
    caught = catchError([&] { segment.add(pos, huge, bytes.data()); });
    ASSERT_EQ(caught.kinds,
              (std::vector<long>{d_Error_SegmentModify, d_Error_SegmentExtend, d_Error_SegmentRange}));
    segment.sync();
    EXPECT_EQ(readFile(small).size(), 32u);
    EXPECT_EQ(wordAt(readFile(small), 4), 16u);
}
