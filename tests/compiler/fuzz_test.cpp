// Random sources, and random mutations of valid ones, never crash the parser
// or the generator: each parse either succeeds or ends in a well-formed syntax
// error report about text that is really in the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "CPP_OutputLanguage.h"
#include "Node.h"
#include "compiler_test_support.h"
#include "core/d_String.h"

namespace {
// The emulated 32-bit build runs fewer cases.
const int CASES = sizeof(void *) == 8 ? 20000 : 3000;

const char *const SEEDS[] = {
    "class B extends A (extent Bs, start 100, step 50) { attribute long n; };",
    "interface Shape { double area(); void scale(in double f, out set<long> ids); };\n",
    "class Customer extends Person {\n\tattribute unsigned long code;\r\n\tattribute string notes;\n"
    "\trelationship set<Order> orders inverse Order::buyer;\n"
    "\tlong count(inout Customer c, in dictionary<string, long> d);\n};\n",
    "class D { attribute dictionary<string, Customer> index; relationship Person partner; void f(); };",
};
// Pieces that random sources are built from: the language's own tokens make
// deep parses likely, stray bytes make every kind of error likely.
const char *const TOKENS[] = {"interface", "class",  "extends", "extent", "start",   "step",   "attribute",
                              "relationship", "inverse", "::",   "set",    "list",    "bag",    "array",
                              "dictionary", "in",     "out",     "inout",  "unsigned long", "long", "void",
                              "string",  "timestamp", "{",      "}",      "(",       ")",      "<",
                              ">",       ";",      ",",       " ",      "\n",      "\r\n",   "\t",
                              "A",       "x1",     "_",       ""};  // "" stands for a NUL byte
const char *const MESSAGES[] = {"There aren't the words 'interface' or 'class'",
                                "Invalid Syntax",
                                "Missing character '{'",
                                "Missing character ';'",
                                "Missing character '::'",
                                "Missing character ')'",
                                "Missing character '('",
                                "Missing words 'in' or 'out' or 'inout' or character ')'",
                                "Missing character '<'",
                                "Missing character ','",
                                "Missing character '>'"};

std::string randomSource(std::mt19937 &random) {
    std::string text;
    int pieces = std::uniform_int_distribution<int>(0, 60)(random);
    for (int i = 0; i < pieces; ++i) {
        if (random() % 4 == 0) {
            text += static_cast<char>(random() % 256);
        } else {
            const char *token = TOKENS[random() % (sizeof TOKENS / sizeof TOKENS[0])];
            text += *token == '\0' ? std::string(1, '\0') : std::string(token);
        }
    }
    return text;
}

std::string mutated(std::string text, std::mt19937 &random) {
    int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits && !text.empty(); ++i) {
        size_t at = random() % text.size();
        switch (random() % 5) {
        case 0: text[at] = static_cast<char>(random() % 256); break;
        case 1: text.erase(at, 1 + random() % 8); break;
        case 2: text.insert(at, 1, static_cast<char>(random() % 256)); break;
        case 3: text.insert(at, text.substr(random() % text.size(), 1 + random() % 12)); break;
        default: text.resize(at); break;  // cut short
        }
    }
    return text;
}

std::string shownAsContext(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

// Checks one parse; returns an explanation of what is wrong, empty when all is well.
std::string checkOutcome(const std::string &source, const ParseResult &result) {
    const std::string parsing = "\nODL: Parsing input file...";
    if (result.output.compare(0, parsing.size(), parsing) != 0) return "no parsing line";
    std::string rest = result.output.substr(parsing.size());
    if (!result.failed) return rest == "done\n  0 error(s) found.\n" ? "" : "bad success lines";
    // "\n\n  " context "\n" dashes "^\n  ERROR: Line " N " = " message "\n\n" closing line
    const std::string closing = "\n\n  1 error(s) found. Abort compilation.\n";
    if (rest.compare(0, 4, "\n\n  ") != 0) return "report start";
    size_t contextEnd = rest.find('\n', 4);
    if (contextEnd == std::string::npos) return "context line";
    std::string context = rest.substr(4, contextEnd - 4);
    size_t caret = rest.find_first_not_of('-', contextEnd + 1);
    if (caret == std::string::npos || rest[caret] != '^') return "marker line";
    size_t dashes = caret - contextEnd - 1;
    const std::string lineLabel = "^\n  ERROR: Line ";
    if (rest.compare(caret, lineLabel.size(), lineLabel) != 0) return "error line";
    size_t number = caret + lineLabel.size();
    size_t numberEnd = rest.find_first_not_of("0123456789", number);
    if (numberEnd == number || numberEnd == std::string::npos) return "line number format";
    long line = std::stol(rest.substr(number, numberEnd - number));
    if (rest.compare(numberEnd, 3, " = ") != 0) return "error line";
    size_t messageStart = numberEnd + 3;
    if (rest.size() < messageStart + closing.size() ||
        rest.compare(rest.size() - closing.size(), closing.size(), closing) != 0) {
        return "closing line";
    }
    std::string message = rest.substr(messageStart, rest.size() - closing.size() - messageStart);
    if (std::find(std::begin(MESSAGES), std::end(MESSAGES), message) == std::end(MESSAGES)) return "message";
    if (context.size() > 40 || dashes > 20 || dashes > context.size()) return "context size";
    if (context.find_first_of(std::string("\r\t\0", 3)) != std::string::npos) return "context characters";
    if (shownAsContext(source).find(context) == std::string::npos) return "context not from the source";
    if (line < 1 || line > 1 + std::count(source.begin(), source.end(), '\n')) return "line number";
    return "";
}

// Writes nothing: the texts are composed in full, only the files are skipped.
void generate(Node *root) {
    CPP_OutputLanguage cpp;
    cpp.setNoHeaders();
    cpp.setNoSources();
    captureOutput([&] { cpp.translate(root, d_String("fuzz/db")); });
}

TEST(ParserFuzz, EveryOutcomeIsASuccessOrAWellFormedReport) {
    std::mt19937 random(20261210);
    int failures = 0, successes = 0;
    for (int i = 0; i < CASES; ++i) {
        std::string source = i % 2 == 0 ? randomSource(random)
                                         : mutated(SEEDS[random() % (sizeof SEEDS / sizeof SEEDS[0])], random);
        ParseResult result = parseInProcess(source);
        std::string problem = checkOutcome(source, result);
        ASSERT_EQ("", problem) << "case " << i << ", source:\n" << source << "\noutput:\n" << result.output;
        if (result.failed) {
            ++failures;
        } else {
            ++successes;
            generate(result.root);
        }
    }
    // Both outcomes must be well represented, or the test proves little.
    EXPECT_GT(failures, CASES / 10);
    EXPECT_GT(successes, CASES / 50);
}
}  // namespace
