// What the POSIX file layer's reading and writing halves share: owned descriptors, facts from
// fstat, and opening a regular file without opening anything else.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "lzc/file_io.h"

namespace lzc::fileio::posix {

// Closes a descriptor and reports the result: a failed close can be a lost write.
inline int closeChecked(int fd) {
    return ::close(fd) == 0 ? 0 : errno;
}

// An owned descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int close() { return closeChecked(std::exchange(fd_, -1)); }
    // Gives the descriptor to another owner.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Opens a directory for looking names up in it (the ...At calls), without needing permission to
// read it where the system has O_PATH.
#if defined(O_PATH)
inline constexpr int kLookupDirectory = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
inline constexpr int kLookupDirectory = O_RDONLY | O_DIRECTORY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
#endif

// A directory argument as the system calls take it.
inline int at(int directory) {
    return directory == kWorkingDirectory ? AT_FDCWD : directory;
}

inline FileFacts factsOf(const struct stat& info) {
    FileFacts facts;
    facts.mode = info.st_mode & 07777;
    facts.owner = info.st_uid;
    facts.group = info.st_gid;
    facts.accessTime = info.st_atim.tv_sec * std::int64_t{1000000000} + info.st_atim.tv_nsec;
    facts.modifyTime = info.st_mtim.tv_sec * std::int64_t{1000000000} + info.st_mtim.tv_nsec;
    facts.device = info.st_dev;
    facts.inode = info.st_ino;
    return facts;
}

inline bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

inline timespec timespecOf(std::int64_t nanoseconds) {
    return {static_cast<time_t>(nanoseconds / 1000000000),
            static_cast<long>(nanoseconds % 1000000000)};
}

// Opens `name` in `dir` for reading only if it is a regular file, so that no device or FIFO
// is ever opened. Where the system has O_PATH, the name is looked at once without opening what
// it names, and that same file is then opened through the descriptor (/proc/self/fd).
struct OpenedFile {
    Descriptor fd;
    struct stat info {};
    ReadProblem problem = ReadProblem::none;
    int error = 0;
};

OpenedFile openRegular(int dir, const char* name, Links links);

}  // namespace lzc::fileio::posix
