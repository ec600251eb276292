// The file layer on POSIX systems: every system call that touches a file lives here. Names are
// looked at once, through the descriptor of their directory; everything decided afterwards
// comes from a descriptor (fstat), never from the name again.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "file_io_platform.h"
#include "file_io_seam.h"
#include "lzc/file_io.h"
#include "lzc/tree_walk.h"
#include "posix_descriptors.h"
#include "signal_cleanup.h"

namespace lzc::fileio {
namespace seam {
namespace {

int renameNoReplace(int dir, const char* from, const char* to) {
#if defined(__linux__)
    return ::renameat2(dir, from, dir, to, RENAME_NOREPLACE);
#else
    // Elsewhere the hard link (or the reservation after it) keeps an existing file.
    (void)dir, (void)from, (void)to;
    return errno = ENOSYS, -1;
#endif
}

int linkAt(int dir, const char* from, const char* to) {
    return ::linkat(dir, from, dir, to, 0);
}

constexpr SystemCalls kRealCalls{renameNoReplace, linkAt, ::fchmod, ::fchown, ::futimens, ::fsync};
SystemCalls calls = kRealCalls;

}  // namespace

SystemCalls& systemCalls() {
    return calls;
}

void restoreSystemCalls() {
    calls = kRealCalls;
}

TemporaryHook temporaryWritten = nullptr;
SourceHook sourceRead = nullptr;

}  // namespace seam

namespace posix {

OpenedFile openRegular(int dir, const char* name, Links links) {
    OpenedFile opened;
    const int noFollow = links == Links::refuse ? O_NOFOLLOW : 0;
    auto failed = [&](int error) {
        opened.error = error;
        opened.problem = error == ENOENT || error == ENOTDIR        ? ReadProblem::missing
                         : error == ELOOP && links == Links::refuse ? ReadProblem::link
                                                                    : ReadProblem::system;
        opened.fd = Descriptor();
        return std::move(opened);
    };
    const int readFlags = O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | noFollow;
#if defined(O_PATH)
    const Descriptor probe(::openat(dir, name, O_PATH | O_CLOEXEC | noFollow));
    struct stat looked {};
    if (!probe.valid() || ::fstat(probe.get(), &looked) != 0) {
        return failed(errno);
    }
    if (S_ISLNK(looked.st_mode)) {
        return failed(ELOOP);
    }
    if (!S_ISREG(looked.st_mode)) {
        opened.problem = ReadProblem::notRegular;
        return opened;
    }
    char reopen[64];
    std::snprintf(reopen, sizeof reopen, "/proc/self/fd/%d", probe.get());
    opened.fd = Descriptor(::open(reopen, readFlags & ~O_NOFOLLOW));
    if (!opened.fd.valid() && errno == ENOENT) {  // no /proc: open the name, checked below
        opened.fd = Descriptor(::openat(dir, name, readFlags));
    }
#else
    opened.fd = Descriptor(::openat(dir, name, readFlags));
#endif
    if (!opened.fd.valid() || ::fstat(opened.fd.get(), &opened.info) != 0) {
        return failed(errno);
    }
    if (!S_ISREG(opened.info.st_mode)) {
        opened.problem = ReadProblem::notRegular;
        opened.fd = Descriptor();
    }
#if defined(O_PATH)
    else if (!sameInode(looked, opened.info)) {
        return failed(kNameChanged);  // swapped between the look and the open
    }
#endif
    return opened;
}

}  // namespace posix

using posix::at;
using posix::Descriptor;
using posix::factsOf;
using posix::OpenedFile;
using posix::openRegular;

DirectoryOfName openDirectoryOf(int directory, const std::filesystem::path& name) {
    DirectoryOfName found;
    found.directory = directory;
    found.name = name;
    const std::filesystem::path leaf = name.filename();
    if (!name.has_parent_path() || leaf.empty() || leaf == "." || leaf == "..") {
        return found;
    }
    Descriptor opened(::openat(at(directory), name.parent_path().c_str(), posix::kLookupDirectory));
    if (!opened.valid()) {
        found.error = errno;
        return found;
    }
    found.opened = std::make_shared<const OpenDirectory>(opened.get());
    found.directory = opened.release();
    found.name = leaf;
    return found;
}

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

bool isSameFile(const std::filesystem::path& name, const FileFacts& facts) {
    return isSameFileAt(kWorkingDirectory, name, facts);
}

bool isSameFileAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    struct stat info {};
    return ::fstatat(at(directory), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           info.st_dev == facts.device && info.st_ino == facts.inode;
}

int removeIfUnchanged(const std::filesystem::path& name, const FileFacts& facts) {
    return removeIfUnchangedAt(kWorkingDirectory, name, facts);
}

int removeIfUnchangedAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    // Looked at and removed in one directory, which nothing on its path can change meanwhile.
    const DirectoryOfName where = openDirectoryOf(directory, name);
    if (where.error != 0) {
        return where.error == ENOENT || where.error == ENOTDIR ? kNameChanged : where.error;
    }
    if (!isSameFileAt(where.directory, where.name, facts)) {
        return kNameChanged;
    }
    return ::unlinkat(at(where.directory), where.name.c_str(), 0) == 0 ? 0 : errno;
}

namespace platform {

// Standard output past the file-size limit fails with EFBIG, as a file of our own does, instead
// of ending the process.
void prepareDescriptor(int) {
    cleanup::installSignalHandlers();
}

std::ptrdiff_t readSome(int fd, std::uint8_t* data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

std::ptrdiff_t writeSome(int fd, const std::uint8_t* data, std::size_t size) {
    for (;;) {
        const ssize_t written = ::write(fd, data, size);
        if (written >= 0 || errno != EINTR) {
            return written;
        }
    }
}

}  // namespace platform

std::string systemErrorText(int errnoValue, unsigned long /*nativeError*/) {
    return std::strerror(errnoValue);
}

ReadResult readFile(const std::filesystem::path& name, std::size_t limit, Links links) {
    return readFileAt(kWorkingDirectory, name, limit, links);
}

ReadResult readFileAt(int directory, const std::filesystem::path& name, std::size_t limit,
                      Links links) {
    OpenedFile opened = openRegular(at(directory), name.c_str(), links);
    if (!opened.fd.valid()) {
        ReadResult failed;
        failed.problem = opened.problem;
        failed.error = opened.problem == ReadProblem::system ? opened.error : 0;
        return failed;
    }
    ReadResult result = readDescriptor(opened.fd.get(), limit);
    result.facts = factsOf(opened.info);
    if (seam::sourceRead != nullptr) {
        seam::sourceRead();
    }
    return result;
}

}  // namespace lzc::fileio
