// The file layer on POSIX systems: every system call that touches a file lives here.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "file_io_platform.h"
#include "file_io_seam.h"
#include "lzc/file_io.h"

namespace lzc::fileio {
namespace seam {
namespace {

int renameNoReplace(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

constexpr SystemCalls kRealCalls{renameNoReplace, ::link, ::fchmod, ::fchown, ::futimens, ::fsync};
SystemCalls calls = kRealCalls;

}  // namespace

SystemCalls& systemCalls() {
    return calls;
}

void restoreSystemCalls() {
    calls = kRealCalls;
}

TemporaryHook temporaryWritten = nullptr;

}  // namespace seam

namespace {

// The hidden file being written, for the signal handler to remove. Only one file is written at
// a time; the name is set and cleared with the handled signals blocked.
char pendingTemporary[4096];
volatile sig_atomic_t temporaryPending = 0;

constexpr int kCleanedUpSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void removeTemporaryAndDie(int signalNumber) {
    if (temporaryPending != 0) {
        ::unlink(pendingTemporary);
    }
    // SA_RESETHAND has restored the default action: the signal, raised again, ends the process
    // with its usual status once this handler returns.
    ::raise(signalNumber);
}

// Installs the handler for each signal that still has its default action; a signal the program
// ignores or handles itself is left as it is.
void installSignalHandlers() {
    static const bool installed = [] {
        for (const int signalNumber : kCleanedUpSignals) {
            struct sigaction current {};
            if (::sigaction(signalNumber, nullptr, &current) != 0 ||
                current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO) != 0) {
                continue;
            }
            struct sigaction action {};
            action.sa_handler = removeTemporaryAndDie;
            action.sa_flags = static_cast<int>(SA_RESETHAND);
            sigemptyset(&action.sa_mask);
            ::sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// Blocks the handled signals for the life of a scope.
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t set;
        sigemptyset(&set);
        for (const int signalNumber : kCleanedUpSignals) {
            sigaddset(&set, signalNumber);
        }
        ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;
    ~SignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

// Closes a descriptor and reports the result: a failed close can be a lost write.
int closeChecked(int fd) {
    return ::close(fd) == 0 ? 0 : errno;
}

// The hidden file a write goes to: created for its owner only, registered for removal on a
// signal, and removed when the write does not complete.
class Temporary {
public:
    // Creates a new file beside `target`; error() says why when none could be made.
    explicit Temporary(const std::filesystem::path& target) {
        installSignalHandlers();
        static std::mt19937_64 generator{std::random_device{}()};
        const std::string stem = target.filename().string().substr(0, 200);
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%010llx",
                          static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFULL));
            name_ = target.parent_path() / ("." + stem + "." + suffix + ".tmp");
            if (name_.native().size() >= sizeof pendingTemporary) {
                error_ = ENAMETOOLONG;
                return;
            }
            const SignalsBlocked blocked;
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd_ >= 0) {
                std::memcpy(pendingTemporary, name_.c_str(), name_.native().size() + 1);
                temporaryPending = 1;
                return;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        error_ = errno;
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (temporaryPending != 0) {
            const SignalsBlocked blocked;
            ::unlink(name_.c_str());
            temporaryPending = 0;
        }
    }

    int error() const { return error_; }
    int fd() const { return fd_; }
    const std::filesystem::path& name() const { return name_; }
    int close() { return closeChecked(std::exchange(fd_, -1)); }
    // The file is in place under another name: nothing is left to remove.
    void placed() {
        const SignalsBlocked blocked;
        temporaryPending = 0;
    }

private:
    std::filesystem::path name_;
    int fd_ = -1;
    int error_ = 0;
};

// Writes to an existing special file (a device or FIFO): there is nothing to replace.
int writeInPlace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = writeDescriptor(fd, bytes);
    const int closed = closeChecked(fd);
    return error != 0 ? error : closed;
}

bool meansUnsupported(int error) {
    return error == EPERM || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// Moves the finished file to `target` unless something is there already (EEXIST). The
// filesystem's own no-replace rename or a hard link keep that atomic; where it has neither
// (vfat, some network mounts), the name is first reserved with an exclusive create, and the
// finished file then replaces only that reservation.
int placeWithoutReplacing(Temporary& temporary, const std::filesystem::path& target) {
    seam::SystemCalls& calls = seam::systemCalls();
    if (calls.renameNoReplace(temporary.name().c_str(), target.c_str()) == 0) {
        temporary.placed();
        return 0;
    }
    if (!meansUnsupported(errno)) {
        return errno;
    }
    if (calls.link(temporary.name().c_str(), target.c_str()) == 0) {
        return 0;  // the temporary's own name goes when it is destroyed
    }
    if (!meansUnsupported(errno)) {
        return errno;
    }
    const int reserved = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (reserved < 0) {
        return errno;
    }
    ::close(reserved);
    if (::rename(temporary.name().c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(target.c_str());
        return error;
    }
    temporary.placed();
    return 0;
}

int syncDirectoryOf(const std::filesystem::path& file) {
    const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int error = seam::systemCalls().fsync(fd) == 0 ? 0 : errno;
    const int closed = closeChecked(fd);
    return error != 0 ? error : closed;
}

mode_t currentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Gives the new file its owner, permission bits and times; what fails is a warning.
std::vector<MetadataWarning> giveMetadata(int fd, const WriteOptions& options,
                                          const struct stat* existing) {
    std::vector<MetadataWarning> warnings;
    seam::SystemCalls& calls = seam::systemCalls();
    auto warn = [&](Metadata what) { warnings.push_back(MetadataWarning{what, errno}); };

    struct stat source {};
    const bool haveSource =
        !options.metadataSource.empty() && ::stat(options.metadataSource.c_str(), &source) == 0;
    if (!options.metadataSource.empty() && !haveSource) {
        warn(Metadata::permissions);
        return warnings;
    }
    // Only root may give a file away; the owner goes first, as it clears set-id bits.
    const struct stat* owner = haveSource ? &source : existing;
    if (owner != nullptr && ::geteuid() == 0 &&
        calls.fchown(fd, owner->st_uid, owner->st_gid) != 0) {
        warn(Metadata::owner);
    }
    const mode_t mode = haveSource            ? (source.st_mode & 0777)
                        : existing != nullptr ? (existing->st_mode & 07777)
                                              : (0666 & ~currentUmask());
    if (calls.fchmod(fd, mode) != 0) {
        warn(Metadata::permissions);
    }
    if (haveSource && options.keepTimes) {
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        if (calls.futimens(fd, times) != 0) {
            warn(Metadata::times);
        }
    }
    return warnings;
}

}  // namespace

FileKind classify(const std::filesystem::path& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return FileKind::missing;
    }
    return S_ISREG(info.st_mode) ? FileKind::regular : FileKind::notRegular;
}

std::optional<std::uintmax_t> regularFileSize(const std::filesystem::path& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(info.st_size);
}

bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int removeFile(const std::filesystem::path& name) {
    return ::unlink(name.c_str()) == 0 ? 0 : errno;
}

bool isTerminal(int fd) {
    return ::isatty(fd) == 1;
}

namespace platform {

void prepareDescriptor(int) {}

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

ReadResult readFile(const std::filesystem::path& name, std::size_t limit) {
    ReadResult result;
    // O_NONBLOCK keeps a FIFO put in the file's place from blocking the open.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        result.error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        result.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else {
        try {
            result = readDescriptor(fd, limit);
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return result;
}

WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    if (destination.empty()) {
        return {ENOENT, {}};
    }
    // Replace a linked file where it lies, so the link itself survives.
    std::filesystem::path target = destination;
    std::error_code linkError;
    if (std::filesystem::is_symlink(destination, linkError)) {
        const auto resolved = std::filesystem::canonical(destination, linkError);
        if (!linkError) {
            target = resolved;
        }
    }

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return {EISDIR, {}};
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        return {writeInPlace(target, bytes), {}};
    }
    if (exists && !options.replaceExisting) {
        return {EEXIST, {}};
    }

    Temporary temporary(target);
    if (temporary.error() != 0) {
        return {temporary.error(), {}};
    }
    WriteResult result;
    if (const int error = writeDescriptor(temporary.fd(), bytes); error != 0) {
        return {error, {}};
    }
    if (seam::temporaryWritten != nullptr) {
        seam::temporaryWritten(temporary.name().c_str());
    }
    result.warnings = giveMetadata(temporary.fd(), options, exists ? &existing : nullptr);
    if (options.synchronous && seam::systemCalls().fsync(temporary.fd()) != 0) {
        return {errno, {}};
    }
    if (const int error = temporary.close(); error != 0) {
        return {error, {}};
    }
    if (options.replaceExisting) {
        if (::rename(temporary.name().c_str(), target.c_str()) != 0) {
            return {errno, {}};
        }
        temporary.placed();
    } else if (const int error = placeWithoutReplacing(temporary, target); error != 0) {
        return {error, {}};
    }
    if (options.synchronous) {
        result.error = syncDirectoryOf(target);
    }
    return result;
}

}  // namespace lzc::fileio
