#ifndef TALVOR_COMPILER_FILEUTILITY_H
#define TALVOR_COMPILER_FILEUTILITY_H

// Reads the source file and writes the generated files, asking before an
// existing file is overwritten.
class FileUtility {
public:
    // When true, existing files are overwritten without asking.
    static bool attrOverwrite;

    // The whole file in a new NUL-terminated buffer (release with delete[]),
    // or null when it cannot be read. size, when given, receives the byte count.
    static char *loadFile(const char *path, unsigned long *size = nullptr);
    // True when the caller may write path: it does not exist, or the user agreed.
    static bool ExistFile(const char *path);
    static void WriteFile(const char *path, const char *text);
    static void setOverwrite();
};

#endif
