// Writing on POSIX systems: all or nothing, through a hidden file beside the destination, never
// through what stands at the destination's name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "file_io_seam.h"
#include "lzc/file_io.h"
#include "posix_descriptors.h"
#include "signal_cleanup.h"

namespace lzc::fileio {
namespace {

using posix::at;
using posix::closeChecked;
using posix::Descriptor;
using posix::OpenedFile;
using posix::openRegular;
using posix::sameInode;
using posix::timespecOf;

// The directory a destination is written in, opened once, and the destination's name there.
struct Place {
    DirectoryOfName where;
    Descriptor working;  // the working directory, when the name is looked up there
    Descriptor flushed;  // the same directory opened for reading, to be flushed (synchronous only)
    int error = 0;
    int dir() const { return working.valid() ? working.get() : at(where.directory); }
};

Place placeOf(int directory, const std::filesystem::path& destination, bool synchronous) {
    Place place;
    const std::filesystem::path leaf = destination.filename();
    if (leaf.empty() || leaf == "." || leaf == "..") {
        place.error = destination.empty() ? ENOENT : EISDIR;
        return place;
    }
    place.where = openDirectoryOf(directory, destination);
    place.error = place.where.error;
    if (place.error == 0 && place.where.directory == kWorkingDirectory) {
        // A descriptor of its own: the signal cleanup removes the new file through it.
        place.working = Descriptor(::openat(AT_FDCWD, ".", posix::kLookupDirectory));
        place.error = place.working.valid() ? 0 : errno;
    }
    if (place.error == 0 && synchronous) {
        // Opened through the directory's own descriptor, not by its name again.
        place.flushed =
            Descriptor(::openat(place.dir(), ".", O_RDONLY | O_DIRECTORY | O_NOCTTY | O_CLOEXEC));
        place.error = place.flushed.valid() ? 0 : errno;
    }
    return place;
}

// The hidden file a write goes to: created for its owner only, registered for removal on a
// signal, and removed when the write does not complete.
class Temporary {
public:
    // Creates a new file beside `target` in `dir`; error() says why when none could be made.
    Temporary(int dir, const std::string& target) : dir_(dir) {
        cleanup::installSignalHandlers();
        thread_local std::mt19937_64 generator{std::random_device{}()};
        const std::string stem = target.substr(0, 200);
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%010llx",
                          static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFULL));
            name_ = "." + stem + "." + suffix + ".tmp";
            const cleanup::SignalsBlocked blocked;
            if (!cleanup::beginCreating()) {
                errno = EINTR;  // the process is being ended
                break;
            }
            fd_ = ::openat(dir, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0600);
            const int error = errno;
            if (fd_ >= 0) {
                slot_ = cleanup::registerFile(dir, name_);
                pending_ = true;
            }
            cleanup::endCreating();
            if (fd_ >= 0) {
                return;
            }
            if (error != EEXIST) {
                errno = error;
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
        if (pending_) {
            const cleanup::SignalsBlocked blocked;
            ::unlinkat(dir_, name_.c_str(), 0);
            cleanup::forgetFile(slot_);
        }
    }

    int error() const { return error_; }
    int fd() const { return fd_; }
    const char* name() const { return name_.c_str(); }
    int close() { return closeChecked(std::exchange(fd_, -1)); }
    // The file is in place under another name: nothing is left to remove.
    void placed() {
        const cleanup::SignalsBlocked blocked;
        pending_ = false;
        cleanup::forgetFile(std::exchange(slot_, -1));
    }

private:
    int dir_;
    std::string name_;
    int fd_ = -1;
    int error_ = 0;
    bool pending_ = false;
    int slot_ = -1;
};

bool meansUnsupported(int error) {
    return error == EPERM || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// Moves the finished file to `target` unless something is there already (EEXIST). The
// filesystem's own no-replace rename or a hard link keep that atomic; where it has neither
// (vfat, some network mounts), the name is first reserved with an exclusive create, and the
// finished file then replaces only that reservation.
int placeWithoutReplacing(int dir, Temporary& temporary, const char* target) {
    seam::SystemCalls& calls = seam::systemCalls();
    if (calls.renameNoReplace(dir, temporary.name(), target) == 0) {
        temporary.placed();
        return 0;
    }
    if (!meansUnsupported(errno)) {
        return errno;
    }
    if (calls.link(dir, temporary.name(), target) == 0) {
        return 0;  // the temporary's own name goes when it is destroyed
    }
    if (!meansUnsupported(errno)) {
        return errno;
    }
    const int reserved =
        ::openat(dir, target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (reserved < 0) {
        return errno;
    }
    ::close(reserved);
    if (::renameat(dir, temporary.name(), dir, target) != 0) {
        const int error = errno;
        ::unlinkat(dir, target, 0);
        return error;
    }
    temporary.placed();
    return 0;
}

int placeReplacing(int dir, Temporary& temporary, const char* target) {
    if (::renameat(dir, temporary.name(), dir, target) != 0) {
        return errno;
    }
    temporary.placed();
    return 0;
}

// Whether `name` in `dir` is a regular file holding exactly `bytes`.
bool holdsSameBytes(int dir, const char* name, std::span<const std::uint8_t> bytes) {
    const OpenedFile existing = openRegular(dir, name, Links::refuse);
    if (!existing.fd.valid()) {
        return false;
    }
    const ReadResult read = readDescriptor(existing.fd.get(), bytes.size());
    return read.problem == ReadProblem::none &&
           std::equal(bytes.begin(), bytes.end(), read.bytes.begin(), read.bytes.end());
}

// Writes into an existing FIFO or device that the user named (/dev/null, say), when it belongs
// to root or to the user; nothing when something else stands at the name.
std::optional<WriteResult> writeInPlace(int dir, const char* name,
                                        std::span<const std::uint8_t> bytes) {
    struct stat looked {};
    if (::fstatat(dir, name, &looked, AT_SYMLINK_NOFOLLOW) != 0 ||
        !(S_ISCHR(looked.st_mode) || S_ISBLK(looked.st_mode) || S_ISFIFO(looked.st_mode)) ||
        (looked.st_uid != 0 && looked.st_uid != ::geteuid())) {
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO nobody reads fails (ENXIO) instead of waiting.
    Descriptor fd(::openat(dir, name, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0) {
        return WriteResult{errno, false, {}};
    }
    if (!sameInode(looked, opened)) {
        return WriteResult{kNameChanged, false, {}};
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    const int error = writeDescriptor(fd.get(), bytes);
    const int closed = fd.close();
    return WriteResult{error != 0 ? error : closed, true, {}};
}

// The process's umask, read without changing it where the system tells it (Linux's
// /proc/self/status); elsewhere it is set and put back at once.
mode_t currentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Gives the new file its owner, permission bits and times; what fails is a warning. `replaced`
// is the regular file of the caller's own that the output replaces, if any.
std::vector<MetadataWarning> giveMetadata(int fd, const WriteOptions& options,
                                          const struct stat* replaced) {
    std::vector<MetadataWarning> warnings;
    seam::SystemCalls& calls = seam::systemCalls();
    auto warn = [&](Metadata what) { warnings.push_back(MetadataWarning{what, errno}); };
    const std::optional<FileFacts>& source = options.source;
    // Only root may give a file away; the owner goes first, as it clears set-id bits.
    if (source && ::geteuid() == 0 && calls.fchown(fd, source->owner, source->group) != 0) {
        warn(Metadata::owner);
    }
    const mode_t mode = source                ? (source->mode & 0777)
                        : replaced != nullptr ? (replaced->st_mode & 0777)
                                              : (0666 & ~currentUmask());
    if (calls.fchmod(fd, mode) != 0) {
        warn(Metadata::permissions);
    }
    if (source && options.keepTimes) {
        const struct timespec times[2] = {timespecOf(source->accessTime),
                                          timespecOf(source->modifyTime)};
        if (calls.futimens(fd, times) != 0) {
            warn(Metadata::times);
        }
    }
    return warnings;
}

}  // namespace

WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    return writeFileAtomicallyAt(kWorkingDirectory, destination, bytes, options);
}

WriteResult writeFileAtomicallyAt(int directory, const std::filesystem::path& destination,
                                  std::span<const std::uint8_t> bytes,
                                  const WriteOptions& options) {
    const Place place = placeOf(directory, destination, options.synchronous);
    if (place.error != 0) {
        return {place.error, false, {}};
    }
    const int dir = place.dir();
    const char* name = place.where.name.c_str();
    if (options.namedByUser) {
        if (std::optional<WriteResult> inPlace = writeInPlace(dir, name, bytes)) {
            return *inPlace;
        }
    }
    struct stat existing {};
    const bool exists = ::fstatat(dir, name, &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return {EISDIR, false, {}};
    }
    if (exists && options.replace == Replace::never) {
        return {EEXIST, false, {}};  // early; the placement below decides for sure
    }
    const bool replacesOwnFile =
        exists && S_ISREG(existing.st_mode) && existing.st_uid == ::geteuid();

    Temporary temporary(dir, place.where.name.native());
    if (temporary.error() != 0) {
        return {temporary.error(), false, {}};
    }
    WriteResult result;
    if (const int error = writeDescriptor(temporary.fd(), bytes); error != 0) {
        return {error, false, {}};
    }
    if (seam::temporaryWritten != nullptr) {
        seam::temporaryWritten(temporary.fd());
    }
    result.warnings = giveMetadata(temporary.fd(), options, replacesOwnFile ? &existing : nullptr);
    if (options.synchronous && seam::systemCalls().fsync(temporary.fd()) != 0) {
        return {errno, false, {}};
    }
    if (const int error = temporary.close(); error != 0) {
        return {error, false, {}};
    }
    int error = options.replace == Replace::always ? placeReplacing(dir, temporary, name)
                                                   : placeWithoutReplacing(dir, temporary, name);
    if (error == EEXIST && options.replace == Replace::ask) {
        const bool replace = holdsSameBytes(dir, name, bytes) ||
                             (options.confirmReplace && options.confirmReplace());
        error = replace ? placeReplacing(dir, temporary, name) : ECANCELED;
    }
    if (error != 0) {
        return {error, false, {}};
    }
    if (options.synchronous && seam::systemCalls().fsync(place.flushed.get()) != 0) {
        result.error = errno;
    }
    return result;
}

}  // namespace lzc::fileio
