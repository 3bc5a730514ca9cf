// schemac, the ODL schema compiler: reads an ODL file, writes the C++ class
// files and creates the database with the declared schema.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "CPP_OutputLanguage.h"
#include "FileUtility.h"
#include "ODL_InputLanguage.h"
#include "core/d_String.h"

namespace {
const char VERSION[] = "1.1";

const char *const USAGE[] = {
    "Format: schemac [<options>] <odl file> <database name>",
    "        where:",
    "          <options> optionally can be:",
    "              -tst : test only the ODL syntax (equal to -nos -nod)",
    "              -ove : overwrite files",
    "              -nso : avoid the generation of sources",
    "              -ndb : avoid the generation of database",
    "              -nco : avoid the generation of constructors",
    "              -nde : avoid the generation of destructors",
    "              -pri : generate attributes as private members (default=public)",
    "              -pro : generate attributes as protected members (default=public)",
    "",
    "              -ds  : data segment start size (default=5K)",
    "              -dt  : data segment step size (default=5K)",
    "              -rs  : ref segment start size (default=1K)",
    "              -rt  : ref segment step size (default=1K)",
    "          <odl file> source file in odl format",
    "          <database name> name of database to create",
};

struct Settings {
    bool generateCpp = true;
    bool generateDatabase = true;
    // Start sizes are 5 KB and 1 KB less the 16-byte segment file header.
    int dataStart = 5104;
    int dataStep = 5120;
    int refStart = 1008;
    int refStep = 1024;
    d_String odlFile;
    d_String databaseName;
};

[[noreturn]] void SyntaxError() {
    for (const char *line : USAGE) std::cout << line << "\n";
    std::cout.flush();
    std::exit(1);
}

// Base-10 conversion that accepts leading blanks and a sign, stops at the
// first non-digit and gives 0 for text without digits, reporting nothing.
// Values beyond the 32-bit range stop at its limits, on every build alike.
int sizeValue(const char *text) {
    long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

// Applies the option argv[index]; an option with a value consumes the next
// argument and moves index onto it. A size option given last keeps its
// default: with nothing after it there is no database name either, which the
// run then reports.
void applyOption(int argc, char **argv, int &index, Settings &settings, CPP_OutputLanguage &cpp) {
    const char *option = argv[index];
    int *size = nullptr;
    if (std::strcmp(option, "-tst") == 0) {
        settings.generateCpp = false;
        settings.generateDatabase = false;
    } else if (std::strcmp(option, "-dll") == 0) {
        cpp.setDll();
    } else if (std::strcmp(option, "-ove") == 0) {
        FileUtility::setOverwrite();
    } else if (std::strcmp(option, "-nso") == 0) {
        cpp.setNoSources();
        cpp.setNoHeaders();
        settings.generateCpp = false;
    } else if (std::strcmp(option, "-ndb") == 0) {
        settings.generateDatabase = false;
    } else if (std::strcmp(option, "-nco") == 0) {
        cpp.setNoConstructors();
    } else if (std::strcmp(option, "-nde") == 0) {
        cpp.setNoDestructors();
    } else if (std::strcmp(option, "-pri") == 0) {
        cpp.setAttrVisibility(2);
    } else if (std::strcmp(option, "-pro") == 0) {
        cpp.setAttrVisibility(1);
    } else if (std::strcmp(option, "-ds") == 0) {
        size = &settings.dataStart;
    } else if (std::strcmp(option, "-dt") == 0) {
        size = &settings.dataStep;
    } else if (std::strcmp(option, "-rs") == 0) {
        size = &settings.refStart;
    } else if (std::strcmp(option, "-rt") == 0) {
        size = &settings.refStep;
    } else {
        std::cout << "\nError: Parameter <" << option << "> unknown!\n\n";
        SyntaxError();
    }
    if (size != nullptr && index + 1 < argc) *size = sizeValue(argv[++index]);
}
}  // namespace

int main(int argc, char **argv) {
    ODL_InputLanguage odl;
    CPP_OutputLanguage cpp;
    // The database generator joins here, after the C++ generator.

    std::cout << "Talvor ODBMS ODL To C++ Compiler v. " << VERSION << "\n";
    if (argc < 3) SyntaxError();

    Settings settings;
    int index = 1;
    for (; index < argc && argv[index][0] == '-'; ++index) applyOption(argc, argv, index, settings, cpp);
    if (index < argc) settings.odlFile = argv[index++];
    if (index < argc) settings.databaseName = argv[index++];

    if (settings.databaseName.empty()) {
        std::cout << "Error: Parameter <database name> not specified.\n";
        return 1;
    }
    unsigned long length = 0;
    std::unique_ptr<char[]> text(FileUtility::loadFile(settings.odlFile.c_str(), &length));
    if (!text) {
        std::cout << "ERROR: Source file " << settings.odlFile << " not found.\n";
        return 1;
    }
    Node *root = odl.parse(text.get(), length);
    if (settings.generateCpp) cpp.translate(root, settings.databaseName);
    // The database step (sizes dataStart, dataStep, refStart, refStep) runs
    // here once the database generator exists; until then it is skipped.
    std::cout << "\n";
    return 0;
}
