#include "core/d_String.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "core/d_Error.h"

const char d_String::sepDefault[16] = {'\t', '\n', '\0', ' ', ',', ':', ';', '.',
                                       '\\', '*', '/',  '+', '=', '[', ']', '\0'};

namespace {
bool inSet(char c, const char *set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// The text printf would produce, whatever its length.
std::string formatTextV(const char *format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed <= 0) return std::string();
    std::vector<char> text(static_cast<size_t>(needed) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data(), static_cast<size_t>(needed));
}

std::string formatText(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string formatText(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    return text;
}
}  // namespace

d_String::d_String() : d_Binary(DEFAULT_SIZE, DEFAULT_STEP) { set("", 0, 1); }

d_String::d_String(const char *text) : d_Binary(text, std::strlen(text) + 1) {}

d_String::d_String(const d_String &other) : d_Binary(other) {}

d_String::d_String(int number) : d_String(static_cast<long>(number)) {}

d_String::d_String(unsigned int number) : d_String(static_cast<unsigned long>(number)) {}

d_String::d_String(long number) : d_Binary("", 1) { appendFormatted("%ld", number); }

d_String::d_String(unsigned long number) : d_Binary("", 1) { appendFormatted("%lu", number); }

d_String::d_String(bool value) : d_String(value ? "true" : "false") {}

d_String::d_String(float number, int digits) : d_String(static_cast<double>(number), digits) {}

// The field width and the precision are both `digits`. The text is formatted
// first so that a long one gets a block of its own size, as any built string.
d_String::d_String(double number, int digits)
    : d_String(formatText("%*.*f", digits, digits, number).c_str()) {}

d_String d_String::joined(const d_String &tail) const {
    std::string text(c_str(), length());
    text.append(tail.c_str(), tail.length());
    return d_String(text.c_str());
}

void d_String::assignText(const char *text, unsigned long len) {
    // Write first and shorten afterwards, so that text may lie inside this string.
    if (set(text, 0, len)) set("", len, 1);
    truncate(len + 1);
}

void d_String::appendText(const char *text, unsigned long len) {
    // The NUL at the end is overwritten by the text, then written again after it.
    unsigned long end = length();
    if (set(text, end, len)) set("", end + len, 1);
}

void d_String::appendFormatted(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    appendText(text.data(), static_cast<unsigned long>(text.size()));
}

d_String &d_String::operator=(const char *text) {
    assignText(text, std::strlen(text));
    return *this;
}

d_String &d_String::operator=(const d_String &other) {
    if (this != &other) assignText(other.c_str(), other.length());
    return *this;
}

d_String &d_String::operator=(char c) {
    assignText(&c, 1);
    return *this;
}

d_String &d_String::operator=(int number) { return *this = static_cast<long>(number); }

d_String &d_String::operator=(long number) {
    assignText("", 0);
    appendFormatted("%ld", number);
    return *this;
}

d_String &d_String::operator=(float number) {
    assignText("", 0);
    appendFormatted("%f", static_cast<double>(number));
    return *this;
}

d_String &d_String::operator+=(const char *text) {
    appendText(text, std::strlen(text));
    return *this;
}

d_String &d_String::operator+=(const d_String &other) {
    appendText(other.c_str(), other.length());
    return *this;
}

d_String &d_String::operator+=(char c) {
    appendText(&c, 1);
    return *this;
}

d_String &d_String::operator+=(int number) { return *this += static_cast<long>(number); }

d_String &d_String::operator+=(long number) {
    appendFormatted("%ld", number);
    return *this;
}

d_String &d_String::operator+=(unsigned int number) {
    return *this += static_cast<unsigned long>(number);
}

d_String &d_String::operator+=(unsigned long number) {
    appendFormatted("%lu", number);
    return *this;
}

d_String &d_String::operator+=(float number) { return *this += static_cast<double>(number); }

d_String &d_String::operator+=(double number) {
    appendFormatted("%f", number);
    return *this;
}

void d_String::checkIndex(unsigned int index) const {
    if (index > length()) {
        d_Error *error = new d_Error(d_Error_StringIndex);
        // Unsigned text: a large index must not read as a negative number.
        *error << " (index=" << d_String(index) << ").";
        throw error;
    }
}

const char &d_String::operator[](unsigned int index) const {
    checkIndex(index);
    return data()[index];
}

char &d_String::operator[](unsigned int index) {
    checkIndex(index);
    return data()[index];
}

unsigned long d_String::find(const char *pattern) const {
    const char *hit = std::strstr(c_str(), pattern);
    return hit == nullptr ? NOT_FOUND : static_cast<unsigned long>(hit - c_str());
}

unsigned long d_String::find_last_of(const char *pattern) const {
    unsigned long last = NOT_FOUND;
    const char *from = c_str();
    while (const char *hit = std::strstr(from, pattern)) {
        last = static_cast<unsigned long>(hit - c_str());
        if (*hit == '\0') break;  // an empty pattern matches at the terminator
        from = hit + 1;
    }
    return last;
}

unsigned long d_String::jump(const char *set, unsigned long pos) const {
    if (pos >= length()) return pos;
    const char *text = c_str();
    while (inSet(text[pos], set)) ++pos;
    return pos;
}

unsigned long d_String::take(unsigned long pos, modes mode, const char *set, d_String *out) const {
    if (pos > length()) return NOT_FOUND;
    const char *text = c_str();
    if (mode == EXACT) {
        unsigned long n = std::strlen(set);
        return std::strncmp(text + pos, set, n) == 0 ? n : NOT_FOUND;
    }
    if (mode != WHILE_IN && mode != UNTIL_IN) return NOT_FOUND;
    bool wantIn = (mode == WHILE_IN);
    unsigned long end = pos;
    while (text[end] != '\0' && inSet(text[end], set) == wantIn) ++end;
    if (end == pos) return NOT_FOUND;
    if (out != nullptr) out->assignText(text + pos, end - pos);
    return end;
}

unsigned long d_String::getWord(unsigned long n, d_String &word, const char *separators) {
    word = "";
    const char *text = c_str();
    unsigned long size = length();
    unsigned long offset = 0;
    for (unsigned long index = 0;; ++index) {
        while (offset < size && inSet(text[offset], separators)) ++offset;
        if (offset >= size) return NOT_FOUND;
        unsigned long start = offset;
        while (offset < size && !inSet(text[offset], separators)) ++offset;
        if (index == n) {
            word.assignText(text + start, offset - start);
            return start;
        }
    }
}

bool operator==(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) == 0; }
bool operator!=(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) != 0; }
bool operator<(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) < 0; }
bool operator<=(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) <= 0; }
bool operator>(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) > 0; }
bool operator>=(const d_String &a, const d_String &b) { return std::strcmp(a.c_str(), b.c_str()) >= 0; }
bool operator==(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) == 0; }
bool operator!=(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) != 0; }
bool operator<(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) < 0; }
bool operator<=(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) <= 0; }
bool operator>(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) > 0; }
bool operator>=(const d_String &a, const char *b) { return std::strcmp(a.c_str(), b) >= 0; }

std::ostream &operator<<(std::ostream &out, const d_String &text) {
    out.write(text.c_str(), static_cast<std::streamsize>(text.length()));
    return out.flush();
}

std::istream &operator>>(std::istream &in, d_String &text) {
    text = "";
    std::streambuf *source = in.rdbuf();
    for (;;) {
        int c = source == nullptr ? std::char_traits<char>::eof() : source->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios_base::eofbit);
            break;
        }
        if (c == '\n') break;
        text += static_cast<char>(c);
    }
    in.width(0);
    return in;
}
