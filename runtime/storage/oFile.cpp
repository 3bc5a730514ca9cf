#include "storage/oFile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/d_Error.h"

namespace {
int protectionFor(oFile::accesses access) {
    switch (access) {
        case oFile::READ_ONLY: return PROT_READ;
        case oFile::WRITE_ONLY: return PROT_WRITE;
        default: return PROT_READ | PROT_WRITE;
    }
}
}  // namespace

oFile::oFile() : mapAddress(nullptr), mappedLength(0), access(READ_ONLY), descriptor(0), mapped(false) {
    path[0] = '\0';
}

oFile::~oFile() {
    // Destructors must not throw: a failing flush or close is dropped here.
    try {
        if (mapped) unmap();
    } catch (d_Error *error) {
        delete error;
    }
    try {
        close();
    } catch (d_Error *error) {
        delete error;
    }
}

void oFile::openWith(const char *newPath, int flags, int mode, accesses newAccess) {
    // A path that does not fit the path field would name another file once cut.
    if (std::strlen(newPath) >= PATH_SIZE) {
        d_Error *error = new d_Error(d_Error_FilePath);
        *error << " (path longer than " << (PATH_SIZE - 1) << " bytes).";
        throw error;
    }
    errno = 0;
    int opened = ::open(newPath, flags, mode);
    if (opened < 0) {
        checkErrors();
        throw new d_Error(d_Error_FileUnknown);
    }
    descriptor = opened;
    std::strcpy(path, newPath);
    access = newAccess;
}

void oFile::open(const char *newPath, accesses newAccess, modes mode) {
    openWith(newPath, newAccess, mode, newAccess);
}

void oFile::create(const char *newPath, accesses newAccess) {
    openWith(newPath, newAccess | O_CREAT | O_TRUNC, 0700, newAccess);
}

void oFile::close() {
    if (descriptor == 0) return;
    int closing = descriptor;
    descriptor = 0;
    errno = 0;
    if (::close(closing) != 0) checkErrors();
}

void oFile::getSize(unsigned long &size) const {
    struct stat status;
    errno = 0;
    if (fstat(descriptor, &status) != 0) {
        checkErrors();
        throw new d_Error(d_Error_FileUnknown);
    }
    size = static_cast<unsigned long>(status.st_size);
}

void oFile::setSize(unsigned long size) {
    errno = 0;
    if (ftruncate(descriptor, static_cast<off_t>(size)) != 0) {
        checkErrors();
        throw new d_Error(d_Error_FileUnknown);
    }
}

void oFile::map() {
    unsigned long size;
    getSize(size);
    errno = 0;
    void *address = mmap(nullptr, size, protectionFor(access), MAP_SHARED, descriptor, 0);
    if (address == MAP_FAILED) {
        checkErrors();
        throw new d_Error(d_Error_FileUnknown);
    }
    mapAddress = static_cast<char *>(address);
    mappedLength = static_cast<std::uint32_t>(size);
    mapped = true;
}

void oFile::unmap() {
    if (!mapped) return;
    sync();
    mapped = false;
    errno = 0;
    if (munmap(mapAddress, mappedLength) != 0) checkErrors();
}

void oFile::sync() {
    if (!mapped) return;
    errno = 0;
    if (msync(mapAddress, mappedLength, MS_SYNC) != 0) checkErrors();
}

void oFile::get(unsigned long pos, unsigned long len, char *dst) const {
    std::memcpy(dst, mapAddress + pos, len);
}

void oFile::get(unsigned long pos, unsigned long len, d_Binary &dst) const {
    // A fixed-size buffer refuses what does not fit: never hand back a cut copy.
    if (!dst.set(mapAddress + pos, dst.getLength(), len)) {
        d_Error *error = new d_Error(d_Error_OutOfMemory);
        *error << " (size=" << len << ").";
        throw error;
    }
}

void oFile::set(unsigned long pos, unsigned long len, const char *src) const {
    std::memmove(mapAddress + pos, src, len);
}

void oFile::set(unsigned long pos, const d_Binary &src) const {
    std::memmove(mapAddress + pos, src.data(), src.getLength());
}

void oFile::seek(unsigned long offset, directions direction) {
    errno = 0;
    off_t reached = lseek(descriptor, static_cast<off_t>(offset), direction);
    if (reached != static_cast<off_t>(offset)) {
        checkErrors();
        throw new d_Error(d_Error_FileUnknown);
    }
}

void oFile::checkErrors() const {
    switch (errno) {
        case 0: return;
        case ENOENT: throw new d_Error(d_Error_FileNotFound);
        case ESRCH: throw new d_Error(d_Error_FilePath);
        case EPIPE: throw new d_Error(d_Error_FileLocked);
        default: throw new d_Error(d_Error_FileUnknown);
    }
}

void oFile::extractPath(const d_String &fullPath, d_String &dir, d_String &name) {
    dir = fullPath;
    name = fullPath;
    unsigned long separator = fullPath.find_last_of("\\");
    if (separator == d_String::NOT_FOUND) separator = fullPath.find_last_of("/");
    if (separator == d_String::NOT_FOUND) {
        dir = "";
        return;
    }
    std::string text(fullPath.c_str());
    dir = text.substr(0, separator + 1).c_str();
    name = text.substr(separator + 1).c_str();
}
