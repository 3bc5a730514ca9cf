#ifndef TALVOR_CORE_D_STRING_H
#define TALVOR_CORE_D_STRING_H

#include <iosfwd>

#include "core/d_Binary.h"

// NUL-terminated text kept inside a d_Binary: the used size counts the NUL,
// so the text length is the used size minus one and c_str() is the buffer.
class d_String : public d_Binary {
public:
    static const unsigned long DEFAULT_SIZE = 64;
    static const unsigned long DEFAULT_STEP = 64;
    // TAB, LF, NUL, then the punctuation separators; read as a C string it is TAB and LF.
    static const char sepDefault[16];
    // "Not found" for the scanning operations: all bits set.
    static const unsigned long NOT_FOUND = static_cast<unsigned long>(-1);

    enum modes { EXACT = 0, WHILE_IN = 1, UNTIL_IN = 2 };

    d_String();
    d_String(const char *text);
    d_String(const d_String &other);
    d_String(int number);
    d_String(unsigned int number);
    d_String(long number);
    d_String(unsigned long number);
    d_String(bool value);
    d_String(float number, int digits);
    d_String(double number, int digits);

    d_String &operator=(const char *text);
    d_String &operator=(const d_String &other);
    d_String &operator=(char c);
    d_String &operator=(int number);
    d_String &operator=(long number);
    d_String &operator=(float number);

    d_String &operator+=(const char *text);
    d_String &operator+=(const d_String &other);
    d_String &operator+=(char c);
    d_String &operator+=(int number);
    d_String &operator+=(long number);
    d_String &operator+=(unsigned int number);
    d_String &operator+=(unsigned long number);
    d_String &operator+=(float number);
    d_String &operator+=(double number);

    template <typename T>
    d_String operator+(const T &operand) const {
        d_String tail;
        tail += operand;
        return joined(tail);
    }

    const char *c_str() const { return data(); }
    unsigned long length() const { return getLength() - 1; }
    bool empty() const { return getLength() <= 1; }

    // Index length addresses the terminating NUL; beyond it raises 2500.
    const char &operator[](unsigned int index) const;
    char &operator[](unsigned int index);

    unsigned long find(const char *pattern) const;
    unsigned long find_last_of(const char *pattern) const;
    unsigned long jump(const char *set, unsigned long pos) const;
    unsigned long take(unsigned long pos, modes mode, const char *set, d_String *out) const;
    unsigned long getWord(unsigned long n, d_String &word, const char *separators = sepDefault);

private:
    // A new string of this text followed by tail's, sized like any built string.
    d_String joined(const d_String &tail) const;
    void assignText(const char *text, unsigned long len);
    void appendText(const char *text, unsigned long len);
    void appendFormatted(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void checkIndex(unsigned int index) const;
};

bool operator==(const d_String &a, const d_String &b);
bool operator!=(const d_String &a, const d_String &b);
bool operator<(const d_String &a, const d_String &b);
bool operator<=(const d_String &a, const d_String &b);
bool operator>(const d_String &a, const d_String &b);
bool operator>=(const d_String &a, const d_String &b);
bool operator==(const d_String &a, const char *b);
bool operator!=(const d_String &a, const char *b);
bool operator<(const d_String &a, const char *b);
bool operator<=(const d_String &a, const char *b);
bool operator>(const d_String &a, const char *b);
bool operator>=(const d_String &a, const char *b);

// Writes the text without its NUL and flushes the stream.
std::ostream &operator<<(std::ostream &out, const d_String &text);
// Reads one line; end of input sets only the end-of-file state.
std::istream &operator>>(std::istream &in, d_String &text);

#endif
