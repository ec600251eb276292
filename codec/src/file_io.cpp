#include "lzc/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

namespace lzc::fileio {
namespace {

// Closes a descriptor on every path out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and reports the result: a failed close can be a lost write.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Writes to an existing special file (a device or FIFO): there is nothing to replace.
int writeInPlace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno;
    }
    if (const int error = writeDescriptor(fd.get(), bytes); error != 0) {
        return error;
    }
    return fd.close();
}

// A name for the new file, hidden beside the destination.
std::filesystem::path temporaryNameFor(const std::filesystem::path& target) {
    static std::mt19937_64 generator{std::random_device{}()};
    std::string stem = target.filename().string().substr(0, 200);
    const auto suffix = generator() & 0xFFFFFFFFFFULL;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%010llx", static_cast<unsigned long long>(suffix));
    return target.parent_path() / ("." + stem + "." + hex + ".tmp");
}

void syncDirectoryOf(const std::filesystem::path& file) {
    const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the data itself was already flushed
        ::close(fd);
    }
}

}  // namespace

FileKind classify(const std::filesystem::path& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return FileKind::missing;
    }
    return S_ISREG(info.st_mode) ? FileKind::regular : FileKind::notRegular;
}

ReadResult readDescriptor(int fd, std::size_t limit) {
    ReadResult result;
    const std::size_t wanted = limit + 1;  // one byte more tells a file that is too large
    std::size_t have = 0;
    result.bytes.resize(std::min<std::size_t>(wanted, 64 * 1024));
    while (have < wanted) {
        if (have == result.bytes.size()) {
            result.bytes.resize(std::min(wanted, result.bytes.size() * 2));
        }
        const ssize_t got = ::read(fd, result.bytes.data() + have, result.bytes.size() - have);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.error = errno;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    result.bytes.resize(have);
    result.tooLarge = have > limit;
    return result;
}

int writeDescriptor(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

ReadResult readFile(const std::filesystem::path& name, std::size_t limit) {
    // O_NONBLOCK keeps a FIFO put in the file's place from blocking the open.
    Descriptor fd(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        ReadResult failed;
        failed.error = errno;
        return failed;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        ReadResult failed;
        failed.error = errno;
        return failed;
    }
    if (!S_ISREG(info.st_mode)) {
        ReadResult failed;
        failed.error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return failed;
    }
    return readDescriptor(fd.get(), limit);
}

int writeFileAtomically(const std::filesystem::path& destination,
                        std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    if (destination.empty()) {
        return ENOENT;
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
    if (exists && !options.replaceExisting) {
        return EEXIST;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        return writeInPlace(target, bytes);
    }

    std::filesystem::path temporary;
    int fdNumber = -1;
    for (int attempt = 0; attempt < 100 && fdNumber < 0; ++attempt) {
        temporary = temporaryNameFor(target);
        fdNumber = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdNumber < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fdNumber < 0) {
        return EEXIST;
    }
    Descriptor fd(fdNumber);

    auto fail = [&](int error) {
        fd.close();
        ::unlink(temporary.c_str());
        return error;
    };

    if (const int error = writeDescriptor(fd.get(), bytes); error != 0) {
        return fail(error);
    }
    if (exists && S_ISREG(existing.st_mode)) {
        // Keep the replaced file's owner where we may (only root may give a file away).
        if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
            // Not fatal: the new file simply stays ours.
        }
    }
    const std::optional<mode_t> mode =
        options.mode ? options.mode
                     : (exists ? std::optional<mode_t>(existing.st_mode & 07777) : std::nullopt);
    if (mode && ::fchmod(fd.get(), *mode) != 0) {
        return fail(errno);
    }
    if (options.accessTime || options.modificationTime) {
        struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
        if (options.accessTime) {
            times[0] = *options.accessTime;
        }
        if (options.modificationTime) {
            times[1] = *options.modificationTime;
        }
        if (::futimens(fd.get(), times) != 0) {
            return fail(errno);
        }
    }
    if (::fsync(fd.get()) != 0) {
        return fail(errno);
    }
    if (const int error = fd.close(); error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }

    if (options.replaceExisting) {
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return error;
        }
    } else {
        // link() never replaces: a destination that appeared meanwhile is left alone.
        const int linked = ::link(temporary.c_str(), target.c_str());
        const int error = linked == 0 ? 0 : errno;
        ::unlink(temporary.c_str());
        if (error != 0) {
            return error;
        }
    }
    syncDirectoryOf(target);
    return 0;
}

}  // namespace lzc::fileio
