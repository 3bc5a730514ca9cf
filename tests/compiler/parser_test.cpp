// The ODL parser in process: the trees it builds and its syntax error report.
#include <gtest/gtest.h>

#include <string>

#include "Node.h"
#include "ODL_InputLanguage.h"
#include "ParseRule.h"
#include "compiler_test_support.h"

namespace {
const char PARSING[] = "\nODL: Parsing input file...";
const char NO_ERRORS[] = "done\n  0 error(s) found.\n";
const char NOT_A_DECLARATION[] = "There aren't the words 'interface' or 'class'";

std::string report(const std::string &context, int dashes, int line, const std::string &message) {
    return std::string(PARSING) + "\n\n  " + context + "\n" + std::string(static_cast<size_t>(dashes), '-') +
           "^\n  ERROR: Line " + std::to_string(line) + " = " + message +
           "\n\n  1 error(s) found. Abort compilation.\n";
}

struct TreeCase {
    const char *source;
    const char *tree;
};

const TreeCase TREE_CASES[] = {
    {"", "root[]"},
    {" \n\t\r\n ", "root[]"},
    {"class A { };", "root[]{class[A]}"},
    {"class A {};", "root[]{class[A]}"},
    {"class B extends A (extent Bs, start 100, step 50) { attribute long n; };",
     "root[]{class[B]{extends[A] extent[Bs] start[100] step[50] attribute[long,n]}}"},
    {"class C (start 1, start 2, extent Cs) {};", "root[]{class[C]{start[1] start[2] extent[Cs]}}"},
    {"class A { attribute dictionary<string, Customer> index; };",
     "root[]{class[A]{attribute[index]{aCollection[dictionary,string,Customer]}}}"},
    {"class A { relationship set<Order> orders inverse Order::customer; relationship Person p; };",
     "root[]{class[A]{relationship[orders,inverse,Order,customer]{aCollection[set,Order]} "
     "relationship[Person,p]}}"},
    {"class A { void f(in long a, out set<string> b); };",
     "root[]{class[A]{method[void,f]{aParameter[in,long,a] aParameter[out,b]{aCollection[set,string]}}}}"},
    {"class A { B g( ); unsigned short h(inout B b,in array<Item>c); };",
     "root[]{class[A]{method[B,g] method[unsigned short,h]{aParameter[inout,B,b] aParameter[in,c]"
     "{aCollection[array,Item]}}}}"},
    // Keywords and literal type names are prefixes: no blank is needed after them.
    {"interfaceA{ };classB extendsA{attribute timestamp t;attributelist<unsigned long>l;};",
     "root[]{interface[A] class[B]{extends[A] attribute[timestamp,t] attribute[l]{aCollection[list,unsigned long]}}}"},
    // Identifiers may begin with a digit and may equal a keyword.
    {"class class { attribute long attribute; attribute time 9lives; };",
     "root[]{class[class]{attribute[long,attribute] attribute[time,9lives]}}"},
    {"class A {\n  attribute interval i;\n  attribute binary b;\n  double area();\n};\n\n",
     "root[]{class[A]{attribute[interval,i] attribute[binary,b] method[double,area]}}"},
};

class ParserTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ParserTree, BuildsTheNodesInReadingOrder) {
    ParseResult result = parseInProcess(GetParam().source);
    ASSERT_FALSE(result.failed) << result.output;
    EXPECT_EQ(std::string(PARSING) + NO_ERRORS, result.output);
    EXPECT_EQ(GetParam().tree, dumpTree(result.root));
}

INSTANTIATE_TEST_SUITE_P(Sources, ParserTree, ::testing::ValuesIn(TREE_CASES));

struct ErrorCase {
    std::string source;
    std::string expected;
};

// Hand-computed reports: the context shows up to 20 characters on each side of
// the error, from the start of the declaration at the earliest.
const ErrorCase ERROR_CASES[] = {
    {"  \n  hello world", report("hello world", 0, 2, NOT_A_DECLARATION)},
    {"class A {}; // comment", report("// comment", 0, 1, NOT_A_DECLARATION)},
    // The second declaration's report starts at that declaration.
    {"class A {};\nclass B {}\n", report("class B {} ", 11, 3, "Missing character ';'")},
    {"class { };", report("class { };", 6, 1, "Invalid Syntax")},
    {"class A { ; };", report("class A { ; };", 10, 1, "Invalid Syntax")},
    {"class A { // note\n};", report("class A { // note };", 10, 1, "Invalid Syntax")},
    {"class A (size 5) {};", report("class A (size 5) {};", 9, 1, "Invalid Syntax")},
    {"class A () {};", report("class A () {};", 9, 1, "Invalid Syntax")},
    {"class A extends B ;", report("class A extends B ;", 18, 1, "Missing character '{'")},
    {"class A { attribute longValue x; };", report("attribute longValue x; };", 20, 1, "Missing character ';'")},
    {"class A { attribute unsigned  long x; };",
     report("bute unsigned  long x; };", 20, 1, "Missing character ';'")},
    {"class A { void f() raises (E); };", report("class A { void f() raises (E); };", 19, 1, "Missing character ';'")},
    {"class A { relationship B b inverse B.c; };",
     report("onship B b inverse B.c; };", 20, 1, "Missing character '::'")},
    {"class A (extent As; start 1) {};", report("class A (extent As; start 1) {};", 18, 1, "Missing character ')'")},
    {"class A { void f(in long a; };", report("A { void f(in long a; };", 20, 1, "Missing character ')'")},
    {"class A { void f; };", report("class A { void f; };", 16, 1, "Missing character '('")},
    {"class A { void f(in long a, ); };",
     report("{ void f(in long a, ); };", 20, 1, "Missing words 'in' or 'out' or 'inout' or character ')'")},
    {"class A { void f(long a); };",
     report("class A { void f(long a); };", 17, 1, "Missing words 'in' or 'out' or 'inout' or character ')'")},
    {"class A { attribute settings s; };", report("ss A { attribute settings s; };", 20, 1, "Missing character '<'")},
    {"class A { attribute dictionary<string long> d; };",
     report("e dictionary<string long> d; };", 20, 1, "Missing character ','")},
    {"class A { attribute set<long x; };", report(" attribute set<long x; };", 20, 1, "Missing character '>'")},
    // Line feeds, carriage returns and tabs show as blanks; the line counts the
    // line feeds skipped before the error.
    {"class A {\r\n\tattribute long x\r\n\tattribute long y;\r\n};",
     report(" attribute long x   attribute long y;  }", 20, 3, "Missing character ';'")},
};

class ParserError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParserError, ReportsTheFirstErrorAndStops) {
    ParseResult result = parseInProcess(GetParam().source);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(GetParam().expected, result.output);
}

INSTANTIATE_TEST_SUITE_P(Messages, ParserError, ::testing::ValuesIn(ERROR_CASES));

// Sources that end or break where the parser still expects text.
const std::string MEGABYTE(1 << 20, 'x');
const ErrorCase TRUNCATED_CASES[] = {
    {"class A {", report("class A {", 9, 1, "Invalid Syntax")},
    {"class A { attribute set<long", report("{ attribute set<long", 20, 1, "Missing character '>'")},
    {"class A { attribute dictionary<", report("ttribute dictionary<", 20, 1, "Invalid Syntax")},
    {"class A { void f(in long a,", report(" { void f(in long a,", 20, 1,
                                           "Missing words 'in' or 'out' or 'inout' or character ')'")},
    {"interface", report("interface", 9, 1, "Invalid Syntax")},
    // A NUL byte ends the text the parser sees, but not the source: what
    // follows it is reported, not ignored.
    {std::string("class A {};\0class B {};", 23), report("", 0, 1, NOT_A_DECLARATION)},
    {std::string("class A {\0};", 12), report("class A {", 9, 1, "Invalid Syntax")},
    {std::string("\0", 1), report("", 0, 1, NOT_A_DECLARATION)},
    {MEGABYTE, report(std::string(20, 'x'), 0, 1, NOT_A_DECLARATION)},
    {"class " + MEGABYTE, report(std::string(20, 'x'), 20, 1, "Missing character '{'")},
};

INSTANTIATE_TEST_SUITE_P(BadInput, ParserError, ::testing::ValuesIn(TRUNCATED_CASES));

TEST(ParseRule, ChecksEachModeAtTheStartOfTheText) {
    d_String out;
    EXPECT_EQ(3, ParseRule::check("abc def", ParseRule::WHILE_IN, "abc", " ", &out));
    EXPECT_EQ(out, "abc");
    EXPECT_EQ(3, ParseRule::check("abc;def", ParseRule::UNTIL_IN, ";", " ", &out));
    EXPECT_EQ(out, "abc") << "stops before the first character of the set";
    EXPECT_EQ(3, ParseRule::check("abc", ParseRule::UNTIL_IN, ";", " ", &out)) << "or at the end of the text";
    EXPECT_EQ(5, ParseRule::check("classX", ParseRule::EXACT, "class", " ", &out));
    EXPECT_EQ(out, "class");
    EXPECT_EQ(0, ParseRule::check("clas", ParseRule::EXACT, "class", " ", &out));
    EXPECT_EQ(out, "");
}

TEST(ODL_InputLanguage, LiteralTypesAreTriedInOrderAsPrefixes) {
    struct Case {
        const char *text;
        int count;
        const char *type;
    } cases[] = {
        {"timestamp t", 9, "timestamp"}, {"time t", 4, "time"},          {"longer", 4, "long"},
        {"unsigned long", 13, "unsigned long"}, {"unsigned  long", 8, "unsigned"}, {"Customer c", 8, "Customer"},
        {"<long>", 0, ""},
    };
    for (const Case &c : cases) {
        d_String out;
        EXPECT_EQ(c.count, ODL_InputLanguage::checkType(c.text, &out)) << c.text;
        EXPECT_EQ(out, c.type) << c.text;
    }
}

TEST(ParseRule, ExtractPathSplitsAfterTheLastSeparator) {
    struct Case {
        const char *full, *directory, *file;
    } cases[] = {
        {"biz", "", "biz"},
        {"data/biz", "data/", "biz"},
        {"/a/b/biz", "/a/b/", "biz"},
        {"a/b\\c/biz", "a/b\\", "c/biz"},  // a backslash wins over later slashes
        {"dir/", "dir/", ""},
    };
    for (const Case &c : cases) {
        d_String directory, file;
        ParseRule::extractPath(d_String(c.full), directory, file);
        EXPECT_EQ(directory, c.directory) << c.full;
        EXPECT_EQ(file, c.file) << c.full;
    }
}
}  // namespace
