// schemac run as a program: its whole output and every file it writes are
// compared byte for byte with the files under data/golden/<case>/ (only the
// compile time in the generated banners is normalised). Setting
// TALVOR_UPDATE_GOLDEN=1 rewrites those files from the current run, for review.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "compiler_test_support.h"

namespace {
const char PERSON[] = "class Person { attribute string name; attribute long age; long count(inout Customer c); };";
const char PERSON_WITH_METHODS[] =
    "class Person {\n"
    "    attribute string name;\n"
    "    attribute long age;\n"
    "    void greet(in string text, out long answer);\n"
    "};\n";
const char NO_SOURCE[] = "<none>";

struct GoldenCase {
    const char *name;
    std::vector<std::string> args;
    std::string source;  // written to model.odl; NO_SOURCE writes nothing
    int status;
};

std::string dataFile(const char *name) { return readFile(testData(name)); }

const GoldenCase GOLDEN_CASES[] = {
    {"person", {"model.odl", "data/biz"}, PERSON, 0},
    {"tst", {"-tst", "model.odl", "biz"}, PERSON, 0},
    {"no_arguments", {}, NO_SOURCE, 1},
    {"one_argument", {"model.odl"}, PERSON, 1},
    // The database name is checked before the source is read.
    {"no_database_name", {"-tst", "model.odl"}, NO_SOURCE, 1},
    {"size_option_last", {"-tst", "-ds"}, NO_SOURCE, 1},
    {"unknown_tstx", {"-tstx", "model.odl", "biz"}, PERSON, 1},
    {"unknown_ds5", {"-ds5", "model.odl", "biz"}, PERSON, 1},
    {"ds_abc", {"-ds", "abc", "-dt", "-7", "-rs", " 12x", "-rt", "9", "model.odl", "biz"}, PERSON, 0},
    // After the source file name nothing is an option.
    {"positional_ndb", {"model.odl", "biz", "-ndb"}, PERSON, 0},
    {"dll_ndb", {"-dll", "-ndb", "model.odl", "biz"}, PERSON, 0},
    {"nso", {"-nso", "model.odl", "biz"}, PERSON, 0},
    {"missing_source", {"absent.odl", "biz"}, NO_SOURCE, 1},
    {"directory_source", {".", "biz"}, NO_SOURCE, 1},
    {"syntax_error", {"model.odl", "biz"}, "class Person {\n  attribute string name\n};\n", 1},
    {"nul_byte", {"model.odl", "biz"}, std::string("class A {};\n\0class B {};\n", 25), 1},
    {"extends_parameters", {"model.odl", "biz"},
     "class A { attribute long n; };\nclass B extends A (extent Bs, start 100, step 50) { attribute short m; };", 0},
    {"collections", {"model.odl", "shop"}, dataFile("collections.odl"), 0},
    {"business", {"model.odl", "database/business"}, dataFile("../../../samples/business/business.odl"), 0},
    {"pri", {"-pri", "model.odl", "biz"}, PERSON_WITH_METHODS, 0},
    {"pro", {"-pro", "model.odl", "biz"}, PERSON_WITH_METHODS, 0},
    {"nco_nde", {"-nco", "-nde", "model.odl", "biz"}, PERSON_WITH_METHODS, 0},
    {"nco_nde_no_methods", {"-nco", "-nde", "model.odl", "biz"}, "class Plain { attribute long n; };", 0},
    // An interface: no constructors, destructor or source file; its methods are
    // pure virtual, and one without parameters reads "area(  )".
    {"interface", {"model.odl", "biz"},
     "interface Shape { double area(); void scale(in double f, out set<long> ids); };", 0},
    {"empty_source", {"model.odl", "biz"}, "", 0},
};

std::string normalised(std::string bytes) {
    const std::string label = "// Compiled at: ";
    size_t at = bytes.find(label);
    if (at == std::string::npos) return bytes;
    at += label.size();
    bytes.replace(at, bytes.find("\r\n", at) - at, "TIME");
    return bytes;
}

bool updating() {
    const char *update = std::getenv("TALVOR_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

std::vector<std::string> withoutName(std::vector<std::string> names, const std::string &drop) {
    for (auto it = names.begin(); it != names.end(); ++it) {
        if (*it == drop) {
            names.erase(it);
            break;
        }
    }
    return names;
}

class SchemacGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(SchemacGolden, MatchesTheRecordedOutputAndFiles) {
    const GoldenCase &c = GetParam();
    TempDir work;
    if (c.source != NO_SOURCE) writeFile(work.file("model.odl"), c.source);
    ProcessResult run = runSchemac(work.path(), c.args);
    EXPECT_EQ(c.status, run.status) << run.output;

    std::string goldenDir = testData(std::string("golden/") + c.name);
    std::vector<std::string> written = withoutName(work.list(), "model.odl");
    if (updating()) {
        ::mkdir(goldenDir.c_str(), 0755);
        writeFile(goldenDir + "/stdout.txt", run.output);
        for (const std::string &name : written) writeFile(goldenDir + "/" + name, normalised(readFile(work.file(name))));
        return;
    }
    EXPECT_EQ(readFile(goldenDir + "/stdout.txt"), run.output);
    std::vector<std::string> expected = withoutName(listDirectory(goldenDir), "stdout.txt");
    EXPECT_EQ(expected, written);
    for (const std::string &name : written) {
        EXPECT_EQ(readFile(goldenDir + "/" + name), normalised(readFile(work.file(name)))) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, SchemacGolden, ::testing::ValuesIn(GOLDEN_CASES),
                         [](const ::testing::TestParamInfo<GoldenCase> &info) { return std::string(info.param.name); });
}  // namespace

namespace {
const char ONE_CLASS[] = "class Person { attribute long age; };";

// A file that cannot be written is reported and the run goes on with the next.
TEST(SchemacFiles, UnwritableFileIsReportedAndTheRunGoesOn) {
    TempDir work;
    writeFile(work.file("model.odl"), ONE_CLASS);
    ASSERT_EQ(0, ::mkdir(work.file("Person.h").c_str(), 0755));
    ProcessResult run = runSchemac(work.path(), {"-ove", "model.odl", "biz"});
    ::rmdir(work.file("Person.h").c_str());
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.output.find("  Generating header file <Person.h>\n"
                                                 "Error: cannot write to file <Person.h>!\n"
                                                 "\n  Generating source file <Person.cpp>\n"))
        << run.output;
    EXPECT_EQ(0u, readFile(work.file("Person.cpp")).find("// ----"));
}

// Generated files are created with every permission bit the umask leaves.
TEST(SchemacFiles, FilesAreCreatedWithAllBitsTheUmaskAllows) {
    TempDir work;
    writeFile(work.file("model.odl"), ONE_CLASS);
    mode_t previous = ::umask(027);
    ProcessResult run = runSchemac(work.path(), {"model.odl", "biz"});
    ::umask(previous);
    EXPECT_EQ(0, run.status) << run.output;
    for (const char *name : {"Person.h", "Person.cpp", "biz.h"}) {
        struct stat status;
        ASSERT_EQ(0, ::stat(work.file(name).c_str(), &status)) << name;
        EXPECT_EQ(0750u, status.st_mode & 0777u) << name;
    }
}

// With no one to answer (input at its end), an existing file is kept.
TEST(SchemacFiles, QuestionWithoutAnAnswerKeepsTheFile) {
    TempDir work;
    writeFile(work.file("model.odl"), ONE_CLASS);
    writeFile(work.file("Person.h"), "mine");
    ProcessResult run = runSchemac(work.path(), {"model.odl", "biz"});
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos,
              run.output.find("  Generating header file <Person.h> Overwrite? [N]o,[y]es,[a]ll,[c]ancel\n"))
        << run.output;
    EXPECT_EQ("mine", readFile(work.file("Person.h")));
    EXPECT_EQ(0u, readFile(work.file("biz.h")).find("// ----"));
}
}  // namespace
