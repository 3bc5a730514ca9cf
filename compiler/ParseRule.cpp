#include "ParseRule.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

const char ParseRule::WHITE_SPACE[] = " \t\r\n";
std::int32_t ParseRule::countRow = 1;
int ParseRule::iMode = 0;
void (*ParseRule::onFatal)() = nullptr;

namespace {
bool inSet(char c, const char *set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// How many characters of the report context lie on each side of the error.
const int CONTEXT = 20;
}  // namespace

int ParseRule::check(const char *text, modes mode, const char *pattern, const char * /*delimiters*/,
                     d_String *out) {
    int count = 0;
    switch (mode) {
    case WHILE_IN:
        while (inSet(text[count], pattern)) ++count;
        break;
    case UNTIL_IN:
        while (text[count] != '\0' && !inSet(text[count], pattern)) ++count;
        break;
    case EXACT: {
        int length = static_cast<int>(std::strlen(pattern));
        // The text's NUL differs from every pattern character, so this never reads past it.
        while (count < length && text[count] == pattern[count]) ++count;
        if (count < length) count = 0;
        break;
    }
    }
    if (out != nullptr) {
        out->clear();
        out->set(text, 0, static_cast<unsigned long>(count));
        out->set("", static_cast<unsigned long>(count), 1);
    }
    return count;
}

int ParseRule::jump(const char *text, const char *set) {
    int count = 0;
    while (inSet(text[count], set)) {
        if (text[count] == '\n') ++countRow;
        ++count;
    }
    return count;
}

void ParseRule::error(const char *text, int pos, const char *message, bool fatal) {
    int start = pos > CONTEXT ? pos - CONTEXT : 0;
    std::string context;
    for (int i = start; i - pos < CONTEXT && text[i] != '\0'; ++i) {
        char c = text[i];
        context += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    }
    std::cout << "\n\n  " << context << "\n"
              << std::string(static_cast<size_t>(pos - start), '-') << "^\n"
              << "  ERROR: Line " << countRow << " = " << message << "\n\n";
    if (!fatal) {
        std::cout.flush();
        return;
    }
    std::cout << "  1 error(s) found. Abort compilation.\n";
    std::cout.flush();
    if (onFatal != nullptr) onFatal();
    std::exit(1);
}

void ParseRule::extractPath(const d_String &fullName, d_String &directory, d_String &file) {
    const char *name = fullName.c_str();
    const char *separator = std::strrchr(name, '\\');
    if (separator == nullptr) separator = std::strrchr(name, '/');
    if (separator == nullptr) {
        directory = "";
        file = name;
        return;
    }
    std::string head(name, static_cast<size_t>(separator - name + 1));
    file = separator + 1;
    directory = head.c_str();
}
