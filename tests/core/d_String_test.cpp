#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "core/d_Error.h"
#include "core/d_String.h"

namespace {

const unsigned long kNotFound = static_cast<unsigned long>(-1);

TEST(String, DefaultIsEmptyWithItsOwnBufferDefaults) {
    d_String s;
    EXPECT_EQ(s.length(), 0u);
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_EQ(s.getLength(), 1u);
    EXPECT_EQ(s.getCapacity(), 64u);
    EXPECT_EQ(s.getStep(), 64u);
    d_String built("abc");
    EXPECT_EQ(built.getCapacity(), 256u);
    EXPECT_EQ(built.getLength(), 4u);
}

TEST(String, SeparatorSetReadsAsTabAndLineFeed) {
    EXPECT_STREQ(d_String::sepDefault, "\t\n");
    EXPECT_EQ(d_String::sepDefault[3], ' ');
    EXPECT_EQ(d_String::sepDefault[14], ']');
    EXPECT_EQ(d_String::sepDefault[15], '\0');
}

TEST(String, NumbersAndTruthValuesAreFormatted) {
    struct Case {
        d_String value;
        const char *text;
    } cases[] = {
        {d_String(true), "true"},
        {d_String(false), "false"},
        {d_String(-5), "-5"},
        {d_String(UINT_MAX), "4294967295"},
        {d_String(2.5f, 3), "2.500"},
        {d_String(2.5, 1), "2.5"},
        {d_String(3.14159, 2), "3.14"},
        {d_String(3.5, 6), "3.500000"},
    };
    for (const Case &c : cases) {
        EXPECT_STREQ(c.value.c_str(), c.text);
        EXPECT_EQ(c.value.length(), std::strlen(c.text));
    }
    // Every digit of a huge value is kept.
    EXPECT_EQ(d_String(-1e300, 2).length(), 1u + 301u + 3u);
}

TEST(String, BuiltStringsTakeTheLargerOfTheDefaultSizeAndTheirUsedSize) {
    const std::string a250(250, 'a'), b100(100, 'b');
    struct Case {
        const char *what;
        d_String value;
        unsigned long capacity;
    } cases[] = {
        {"small number", d_String(7L), 256},
        {"long formatted double", d_String(-1e300, 2), 306},
        {"short concatenation", d_String("ab") + 'c', 256},
        {"long concatenation", d_String(a250.c_str()) + b100.c_str(), 351},
        {"concatenation of a string", d_String(a250.c_str()) + d_String(b100.c_str()), 351},
        {"concatenation of a number", d_String(a250.c_str()) + 123456L, 257},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.getCapacity(), c.capacity);
        EXPECT_EQ(c.value.getStep(), 64u);
    }
    EXPECT_EQ(cases[3].value, (a250 + b100).c_str());
    EXPECT_EQ(cases[5].value, (a250 + "123456").c_str());
}

TEST(String, AssignmentReplacesTheWholeText) {
    d_String s("hello");
    s = 'x';
    EXPECT_STREQ(s.c_str(), "x");
    EXPECT_EQ(s.length(), 1u);
    s += 'y';
    EXPECT_STREQ(s.c_str(), "xy");
    s = 42L;
    EXPECT_STREQ(s.c_str(), "42");
    s = 1.5f;
    EXPECT_STREQ(s.c_str(), "1.500000");
    s = "a much longer text than before";
    s = "ab";
    EXPECT_STREQ(s.c_str(), "ab");
    EXPECT_EQ(s.getLength(), 3u);
    s = s.c_str() + 1;  // assigning a piece of itself
    EXPECT_STREQ(s.c_str(), "b");
}

TEST(String, AppendingAndConcatenation) {
    d_String s("n=");
    s += 7L;
    s += " f=";
    s += 0.25f;
    s += d_String("!");
    EXPECT_STREQ(s.c_str(), "n=7 f=0.250000!");
    d_String base("ab");
    d_String joined = base + "cd" + 'e' + 12L + 0.5f + d_String("z");
    EXPECT_STREQ(joined.c_str(), "abcde120.500000z");
    EXPECT_STREQ(base.c_str(), "ab");
    std::string longText(1000, 'q');
    d_String grown;
    grown += longText.c_str();
    EXPECT_EQ(grown.length(), 1000u);
    EXPECT_EQ(grown.c_str()[1000], '\0');
}

TEST(String, ComparisonFollowsByteOrder) {
    d_String a("abc"), b("abd");
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(a <= b);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(b >= a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a == d_String("abc"));
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE(a != "ab");
    EXPECT_TRUE(a > "ab");
    EXPECT_TRUE(a < "b");
}

TEST(String, IndexReachesTheTerminatorAndNoFurther) {
    const d_String s("abc");
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[3], '\0');
    try {
        (void)s[4];
        FAIL() << "index 4 of a three-letter text was accepted";
    } catch (d_Error *caught) {
        std::unique_ptr<d_Error> owned(caught);
        EXPECT_EQ(owned->get_kind(), d_Error_StringIndex);
        EXPECT_STREQ(owned->what(), "Attempt to access to an element out of string (index=4).");
    }
    EXPECT_STREQ(s.c_str(), "abc");
    try {
        (void)s[3000000000u];
        FAIL() << "a huge index was accepted";
    } catch (d_Error *caught) {
        std::unique_ptr<d_Error> owned(caught);
        EXPECT_STREQ(owned->what(), "Attempt to access to an element out of string (index=3000000000).");
    }
}

TEST(String, FindAndFindLastOf) {
    d_String s("abcabc");
    EXPECT_EQ(s.find("bc"), 1u);
    EXPECT_EQ(s.find("x"), kNotFound);
    EXPECT_EQ(s.find_last_of("bc"), 4u);
    EXPECT_EQ(s.find_last_of("x"), kNotFound);
    EXPECT_EQ(d_String("aaa").find_last_of("aa"), 1u);
}

TEST(String, Jump) {
    d_String s("a1 b2");
    EXPECT_EQ(s.jump("a1", 0), 2u);
    EXPECT_EQ(s.jump(" ", 2), 3u);
    EXPECT_EQ(s.jump("xyz", 5), 5u);
    EXPECT_EQ(s.jump("a1 b2", 0), 5u);
    EXPECT_EQ(s.jump("a", 50), 50u);  // beyond the text: nothing read
}

TEST(String, Take) {
    const char *digits = "0123456789";
    d_String s("12ab");
    d_String out("unchanged");
    EXPECT_EQ(s.take(0, d_String::WHILE_IN, digits, &out), 2u);
    EXPECT_STREQ(out.c_str(), "12");
    out = "unchanged";
    EXPECT_EQ(s.take(2, d_String::WHILE_IN, digits, &out), kNotFound);
    EXPECT_STREQ(out.c_str(), "unchanged");
    EXPECT_EQ(s.take(0, d_String::UNTIL_IN, "a", &out), 2u);
    EXPECT_STREQ(out.c_str(), "12");
    EXPECT_EQ(s.take(2, d_String::UNTIL_IN, "x", &out), 4u);  // up to the end
    EXPECT_STREQ(out.c_str(), "ab");
    out = "unchanged";
    EXPECT_EQ(s.take(0, d_String::EXACT, "12", &out), 2u);
    EXPECT_EQ(s.take(1, d_String::EXACT, "2ab", nullptr), 3u);
    EXPECT_EQ(s.take(1, d_String::EXACT, "2abc", nullptr), kNotFound);
    EXPECT_STREQ(out.c_str(), "unchanged");
    EXPECT_EQ(s.take(0, static_cast<d_String::modes>(7), digits, &out), kNotFound);
    EXPECT_EQ(s.take(4, d_String::WHILE_IN, digits, nullptr), kNotFound);
    EXPECT_EQ(s.take(9, d_String::UNTIL_IN, "a", &out), kNotFound);
}

TEST(String, GetWord) {
    d_String s(" one two");
    d_String word("stale");
    EXPECT_EQ(s.getWord(0, word, " "), 1u);
    EXPECT_STREQ(word.c_str(), "one");
    EXPECT_EQ(s.getWord(1, word, " "), 5u);
    EXPECT_STREQ(word.c_str(), "two");
    EXPECT_EQ(s.getWord(2, word, " "), kNotFound);
    EXPECT_STREQ(word.c_str(), "");
    d_String empty;
    EXPECT_EQ(empty.getWord(0, word, " "), kNotFound);
    d_String trailing("a,,b,, ");
    EXPECT_EQ(trailing.getWord(1, word, ", "), 3u);
    EXPECT_STREQ(word.c_str(), "b");
    EXPECT_EQ(trailing.getWord(2, word, ", "), kNotFound);
}

TEST(String, StreamsWriteTextAndReadLines) {
    std::ostringstream out;
    out << d_String("abc");
    EXPECT_EQ(out.str(), "abc");

    std::istringstream in("ab\ncd");
    d_String line("old");
    in >> line;
    EXPECT_STREQ(line.c_str(), "ab");
    EXPECT_FALSE(in.eof());
    in >> line;
    EXPECT_STREQ(line.c_str(), "cd");
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.fail());
    in >> line;  // nothing left: empty text, still no failure state
    EXPECT_STREQ(line.c_str(), "");
    EXPECT_FALSE(in.fail());

    std::istringstream blank("\n");
    blank.width(7);
    blank >> line;
    EXPECT_STREQ(line.c_str(), "");
    EXPECT_EQ(blank.width(), 0);
}

}  // namespace
