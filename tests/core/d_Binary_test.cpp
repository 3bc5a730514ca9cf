#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/d_Binary.h"

namespace {

std::string contents(const d_Binary &b) { return std::string(b.data(), b.getLength()); }

TEST(Binary, ConstructionDecidesCapacityAndStep) {
    d_Binary sized(100, 10);
    EXPECT_EQ(sized.getLength(), 0u);
    EXPECT_EQ(sized.getCapacity(), 100u);
    EXPECT_EQ(sized.getStep(), 10u);

    d_Binary small("0123456789", 10);
    EXPECT_EQ(small.getCapacity(), 256u);
    EXPECT_EQ(small.getStep(), 64u);
    EXPECT_EQ(contents(small), "0123456789");

    std::string big(300, 'x');
    d_Binary large(big.data(), 300);
    EXPECT_EQ(large.getCapacity(), 300u);
    EXPECT_EQ(contents(large), big);

    d_Binary empty(0ul, 0ul);
    EXPECT_EQ(empty.getCapacity(), 0u);
}

TEST(Binary, GrowsLinearlyUntilStrictlyAboveTheRequiredSize) {
    struct Case {
        unsigned long required;
        unsigned long capacity;
    } cases[] = {{256, 256}, {257, 320}, {319, 320}, {320, 384}, {1000, 1024}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.required);
        d_Binary b(256, 64);
        ASSERT_TRUE(b.reserve(c.required));
        EXPECT_EQ(b.getCapacity(), c.capacity);
        EXPECT_EQ(b.getLength(), c.required);
    }
}

TEST(Binary, GetClipsToTheLength) {
    d_Binary b("abcdef", 6);
    char out[8] = "-------";
    EXPECT_TRUE(b.get(out, 4, 10));
    EXPECT_EQ(std::string(out, 3), "ef-");
    std::memset(out, '-', 7);
    EXPECT_TRUE(b.get(out, 6, 3));  // at the length: nothing copied
    EXPECT_EQ(out[0], '-');
    EXPECT_FALSE(b.get(out, 7, 1));  // beyond the length
    EXPECT_EQ(out[0], '-');
}

TEST(Binary, GetIntoBufferWritesAtStartAndKeepsLongerTail) {
    d_Binary source("abcdef", 6);
    d_Binary whole(4, 4);
    EXPECT_TRUE(source.get(whole, 0, 0));
    EXPECT_EQ(contents(whole), "abcdef");

    d_Binary target("0123456789", 10);
    EXPECT_TRUE(source.get(target, 2, 3));
    EXPECT_EQ(contents(target), "cde3456789");
    EXPECT_FALSE(source.get(target, 7, 0));
}

TEST(Binary, SetBeyondTheLengthExtendsIt) {
    d_Binary b("ab", 2);
    EXPECT_TRUE(b.set("xy", 5, 2));
    EXPECT_EQ(b.getLength(), 7u);
    EXPECT_EQ(std::string(b.data() + 5, 2), "xy");
    EXPECT_TRUE(b.set("Q", 0, 1));  // below the length: never shortens
    EXPECT_EQ(b.getLength(), 7u);
    EXPECT_EQ(b.data()[0], 'Q');
}

TEST(Binary, FixedBufferRefusesToPassItsCapacity) {
    d_Binary fixed(8, 0);
    ASSERT_TRUE(fixed.set("12345678", 0, 8));
    EXPECT_FALSE(fixed.set("9", 8, 1));
    EXPECT_FALSE(fixed.set("xy", 7, 2));
    EXPECT_FALSE(fixed.insert("z", 0, 1));
    EXPECT_FALSE(fixed.reserve(9));
    EXPECT_EQ(contents(fixed), "12345678");
    EXPECT_EQ(fixed.getCapacity(), 8u);

    d_Binary nothing(0ul, 0ul);
    EXPECT_FALSE(nothing.set("a", 0, 1));
    EXPECT_EQ(nothing.getLength(), 0u);
}

TEST(Binary, InsertOpensAGap) {
    d_Binary b("abcde", 5);
    EXPECT_TRUE(b.insert("XYZ", 0, 3));
    EXPECT_EQ(contents(b), "XYZabcde");
    d_Binary tail("12", 2);
    EXPECT_TRUE(b.insert(tail, 8));
    EXPECT_EQ(contents(b), "XYZabcde12");
    EXPECT_FALSE(b.insert("q", 11, 1));  // past the end: refused
    EXPECT_EQ(contents(b), "XYZabcde12");
}

TEST(Binary, InsertAndSetAcceptTheirOwnBytes) {
    // Grown across a reallocation, with the source inside the buffer itself.
    d_Binary b(4, 4);
    b.set("abcd", 0, 4);
    EXPECT_TRUE(b.insert(b.data() + 1, 2, 2));  // "bc" before "cd"
    EXPECT_EQ(contents(b), "abbccd");
    EXPECT_TRUE(b.insert(b.data() + 4, 1, 2));  // source after the gap
    EXPECT_EQ(contents(b), "acdbbccd");
    EXPECT_TRUE(b.set(b.data(), 8, 8));
    EXPECT_EQ(contents(b), "acdbbccdacdbbccd");
}

TEST(Binary, CutNeverReachesOutsideTheBuffer) {
    d_Binary b("abcdef", 6);
    b.cut(1, 2);
    EXPECT_EQ(contents(b), "adef");
    b.cut(2, 100);
    EXPECT_EQ(contents(b), "ad");
    b.cut(5, 1);
    EXPECT_EQ(contents(b), "ad");
    b.cut(0, static_cast<unsigned long>(-1));
    EXPECT_EQ(b.getLength(), 0u);
}

TEST(Binary, CopiesAreIndependent) {
    d_Binary a("abc", 3);
    d_Binary b(a);
    b.set("X", 0, 1);
    EXPECT_EQ(contents(a), "abc");
    d_Binary c(2, 0);
    c = b;
    EXPECT_EQ(contents(c), "Xbc");
}

}  // namespace
