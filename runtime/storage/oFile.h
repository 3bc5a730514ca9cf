#ifndef TALVOR_STORAGE_OFILE_H
#define TALVOR_STORAGE_OFILE_H

#include <cstdint>

#include "core/d_Binary.h"
#include "core/d_String.h"

// One operating-system file, mapped as a whole and read or written through the
// mapping. get and set do no bounds checking: the segment layer checks ranges
// before it calls them.
class oFile {
public:
    // Passed unchanged to open() as its access flags.
    enum accesses { READ_ONLY = 0, WRITE_ONLY = 1, READ_WRITE = 2 };
    // Passed unchanged to open() as its permission argument.
    enum modes { NO_MODE = 0, OWNER_ALL = 0700 };
    // Passed unchanged to lseek() as its origin.
    enum directions { FROM_START = 0, FROM_CURRENT = 1, FROM_END = 2 };

    static const unsigned long PATH_SIZE = 260;

    oFile();
    ~oFile();
    oFile(const oFile &) = delete;
    oFile &operator=(const oFile &) = delete;

    void open(const char *path, accesses access, modes mode);
    // Creates or truncates the file, readable, writable and executable by the owner.
    void create(const char *path, accesses access);
    void close();

    void getSize(unsigned long &size) const;
    void setSize(unsigned long size);
    void map();
    // Syncs, then unmaps; every caller maps again right after.
    void unmap();
    void getMapAddress(char *&address) const { address = mapAddress; }
    void sync();

    void get(unsigned long pos, unsigned long len, char *dst) const;
    // Appends the bytes at the buffer's current length.
    void get(unsigned long pos, unsigned long len, d_Binary &dst) const;
    void set(unsigned long pos, unsigned long len, const char *src) const;
    void set(unsigned long pos, const d_Binary &src) const;
    void seek(unsigned long offset, directions direction);

    // Throws the d_Error that matches errno; errno 0 throws nothing.
    void checkErrors() const;

    // Splits a path at its last backslash, or else at its last slash.
    static void extractPath(const d_String &path, d_String &dir, d_String &name);

    const char *getPath() const { return path; }
    bool isMapped() const { return mapped; }

private:
    void openWith(const char *path, int flags, int mode, accesses access);

    char path[PATH_SIZE];
    char *mapAddress;
    std::uint32_t mappedLength;
    accesses access;
    int descriptor;
    bool mapped;  // the address field is kept after unmap; this tells whether it is live
};

#endif
