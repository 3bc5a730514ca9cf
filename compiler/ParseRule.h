#ifndef TALVOR_COMPILER_PARSERULE_H
#define TALVOR_COMPILER_PARSERULE_H

#include <cstdint>

#include "core/d_String.h"

// The scanning primitives of the ODL parser and its syntax error report.
// Offsets are ints: a source text is at most 2 GB.
class ParseRule {
public:
    enum modes {
        WHILE_IN = 0,  // the longest run of characters of the pattern's set
        UNTIL_IN = 1,  // everything up to the first character of the pattern's set
        EXACT = 2      // the pattern itself, as a prefix of the text
    };

    static const char WHITE_SPACE[];

    // The line being read: 1 plus the line feeds skipped by jump.
    static std::int32_t countRow;
    static int iMode;
    // Called before a fatal error ends the process; tests set it to a function
    // that throws, so that one process can parse many sources.
    static void (*onFatal)();

    // Matches at the start of text; returns the count and stores the match in
    // out (empty when nothing matched). delimiters is accepted and ignored.
    static int check(const char *text, modes mode, const char *pattern, const char *delimiters,
                     d_String *out);
    // Skips the characters of set, counting the line feeds among them.
    static int jump(const char *text, const char *set);
    // Prints the syntax error report for offset pos of text; a fatal error
    // ends the process with status 1.
    static void error(const char *text, int pos, const char *message, bool fatal);
    // Splits after the last backslash or, when there is none, the last slash.
    static void extractPath(const d_String &fullName, d_String &directory, d_String &file);
};

#endif
