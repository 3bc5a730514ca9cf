#include "FileUtility.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

bool FileUtility::attrOverwrite = false;

namespace {
// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Reads exactly size bytes unless the file ends or fails first.
bool readAll(int fd, char *buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const char *text, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd, text + done, size - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

char readAnswer() {
    char answer = '\0';
    ssize_t got;
    do {
        got = ::read(STDIN_FILENO, &answer, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1 ? answer : '\0';
}
}  // namespace

char *FileUtility::loadFile(const char *path, unsigned long *size) {
    FileDescriptor file(::open(path, O_RDONLY));
    struct stat status;
    // Only a regular file has a size to read; a directory or a device would
    // give a meaningless one. The parser's offsets are ints, hence the limit.
    bool readable = file.valid() && ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) &&
                    status.st_size < INT_MAX;
    std::unique_ptr<char[]> text;
    if (readable) {
        size_t length = static_cast<size_t>(status.st_size);
        text.reset(new char[length + 1]);
        readable = readAll(file.get(), text.get(), length);
        text[length] = '\0';
        if (size != nullptr) *size = static_cast<unsigned long>(length);
    }
    if (!readable) {
        std::cout << "\nError: cannot read from file <" << path << ">!\n";
        return nullptr;
    }
    return text.release();
}

bool FileUtility::ExistFile(const char *path) {
    if (attrOverwrite) return true;
    {
        FileDescriptor existing(::open(path, O_RDONLY));
        if (!existing.valid()) return true;
    }
    // Typing done before the question is discarded first, so that only an
    // answer given after it counts.
    ::tcflush(STDIN_FILENO, TCIFLUSH);
    std::cout << " Overwrite? [N]o,[y]es,[a]ll,[c]ancel" << std::flush;
    switch (readAnswer()) {
    case 'y':
        return true;
    case 'a':
        attrOverwrite = true;
        return true;
    case 'c':
        std::exit(1);
    default:
        return false;
    }
}

void FileUtility::WriteFile(const char *path, const char *text) {
    if (!ExistFile(path)) return;
    FileDescriptor file(::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0777));
    if (!file.valid() || !writeAll(file.get(), text, std::strlen(text))) {
        std::cout << "\nError: cannot write to file <" << path << ">!\n";
    }
}

void FileUtility::setOverwrite() { attrOverwrite = true; }
