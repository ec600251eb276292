// The file layer on Windows: every system call that touches a file lives here. Names go to the
// system in UTF-16 (std::filesystem::path's native form), so any name the system allows works.
//
// What differs from POSIX, and why:
// - A hidden or system file, or a directory, counts as missing when a source is looked up: that
//   is what "exists" means for a Windows user, whose tools hide such files.
// - The temporary is kept from other processes by its sharing mode while it is written, not by
//   permissions: it gets its folder's access control list, as any file made there does.
// - A file's permissions are its read-only attribute; access control lists are left to the
//   system (the new file inherits those of its directory). There is no owner to carry over.
// - A read-only destination is not replaced even with -f, as Windows' own tools refuse to.
// - Without the no-replace rename of POSIX, MoveFileExW without MOVEFILE_REPLACE_EXISTING gives
//   the same promise: an existing destination, even one that appeared meanwhile, is kept.
// - Ctrl+C, Ctrl+Break and closing the console remove the temporary (console control handler)
//   in place of SIGINT, SIGTERM and SIGHUP.
// - A destination that is a link is replaced itself, not the file it points to, as on POSIX.
// - A device (NUL, say) is written only when the user named it as the output.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "file_io_platform.h"
#include "lzc/file_io.h"

namespace lzc::fileio {
namespace {

// The Win32 error behind the errno value errnoOf made last on this thread: readFile and
// writeFileAtomically hand it on with their errno, for messages in the system's own words.
thread_local DWORD lastNativeError = 0;

int errnoOf(DWORD error) {
    lastNativeError = error;
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
            return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return EPIPE;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        default:
            return EIO;
    }
}

int lastErrno() {
    return errnoOf(::GetLastError());
}

// Closes a handle on every path out of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Closes now and reports the result.
    int close() {
        if (!valid()) {
            return 0;
        }
        const BOOL closed = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : lastErrno();
    }

private:
    HANDLE handle_;
};

// Opens a name with `access`; a directory opens too, and a link is opened itself unless
// `links` follows it.
Handle openExisting(const std::filesystem::path& name, DWORD access, Links links) {
    const DWORD reparse = links == Links::refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    return Handle(::CreateFileW(name.c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | reparse, nullptr));
}

// What an open handle is: a file on disk (with its attributes), or something else.
struct HandleInfo {
    bool onDisk = false;
    BY_HANDLE_FILE_INFORMATION file{};
};

HandleInfo describe(HANDLE handle) {
    HandleInfo info;
    info.onDisk = ::GetFileType(handle) == FILE_TYPE_DISK &&
                  ::GetFileInformationByHandle(handle, &info.file) != 0;
    return info;
}

bool isDirectory(const HandleInfo& info) {
    return (info.file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// 100-nanosecond ticks since 1601, to nanoseconds since 1970, and back.
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;

std::int64_t nanosecondsOf(const FILETIME& time) {
    const auto ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kTicksFrom1601To1970) * 100;
}

FILETIME fileTimeOf(std::int64_t nanoseconds) {
    const auto ticks = static_cast<std::uint64_t>(nanoseconds / 100 + kTicksFrom1601To1970);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

FileFacts factsOf(const BY_HANDLE_FILE_INFORMATION& file) {
    FileFacts facts;
    facts.mode = (file.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    facts.accessTime = nanosecondsOf(file.ftLastAccessTime);
    facts.modifyTime = nanosecondsOf(file.ftLastWriteTime);
    facts.device = file.dwVolumeSerialNumber;
    facts.inode = (static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow;
    return facts;
}

// The temporaries being written (by several threads, perhaps), for the console control handler
// to remove; the lock keeps the handler from removing one while it is moved into place.
SRWLOCK pendingLock = SRWLOCK_INIT;
std::vector<std::wstring> pendingTemporaries;

// Forgets `name`; the lock is held.
bool forgetPending(const std::wstring& name) {
    const auto found = std::find(pendingTemporaries.begin(), pendingTemporaries.end(), name);
    if (found == pendingTemporaries.end()) {
        return false;
    }
    pendingTemporaries.erase(found);
    return true;
}

void removeTemporary(const std::wstring& name) {
    ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file stays else
    ::DeleteFileW(name.c_str());
}

BOOL WINAPI removeTemporaryOnInterrupt(DWORD /*event*/) {
    ::AcquireSRWLockExclusive(&pendingLock);
    for (const std::wstring& name : pendingTemporaries) {
        removeTemporary(name);
    }
    pendingTemporaries.clear();
    ::ReleaseSRWLockExclusive(&pendingLock);
    return FALSE;  // the next handler, finally the system's, ends the process as usual
}

// The temporary file a write goes to: created beside the destination, registered for removal on
// Ctrl+C, and removed when the write does not complete.
class Temporary {
public:
    explicit Temporary(const std::filesystem::path& target) {
        static const bool handlerInstalled =
            ::SetConsoleCtrlHandler(removeTemporaryOnInterrupt, TRUE) != 0;
        (void)handlerInstalled;
        thread_local std::mt19937_64 generator{std::random_device{}()};
        const std::wstring stem = target.filename().native().substr(0, 200);
        for (int attempt = 0; attempt < 100; ++attempt) {
            wchar_t suffix[16];
            std::swprintf(suffix, std::size(suffix), L"%010llx",
                          static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFULL));
            name_ = target.parent_path() / (L"." + stem + L"." + suffix + L".tmp");
            ::AcquireSRWLockExclusive(&pendingLock);
            // Shared for deletion only: the control handler may remove the file while it is
            // open, but no other process can open it to read it before it is complete. (The
            // handle is closed only once the bytes are written and flushed.)
            handle_ = ::CreateFileW(name_.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            const DWORD error = ::GetLastError();
            if (handle_ != INVALID_HANDLE_VALUE) {
                pendingTemporaries.push_back(name_.native());
            }
            ::ReleaseSRWLockExclusive(&pendingLock);
            if (handle_ != INVALID_HANDLE_VALUE) {
                return;
            }
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                error_ = errnoOf(error);
                return;
            }
        }
        error_ = EEXIST;
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        close();
        ::AcquireSRWLockExclusive(&pendingLock);
        if (forgetPending(name_.native())) {
            removeTemporary(name_.native());
        }
        ::ReleaseSRWLockExclusive(&pendingLock);
    }

    int error() const { return error_; }
    HANDLE handle() const { return handle_; }
    int close() {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return 0;
        }
        const BOOL closed = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : lastErrno();
    }
    // Moves the finished file to `target`, replacing what is there only when asked to. The
    // control handler waits meanwhile, so the file is either in place or removed.
    int moveTo(const std::filesystem::path& target, bool replaceExisting) {
        const DWORD flags =
            MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
        ::AcquireSRWLockExclusive(&pendingLock);
        const BOOL moved = ::MoveFileExW(name_.c_str(), target.c_str(), flags);
        const DWORD error = ::GetLastError();
        if (moved) {
            forgetPending(name_.native());
        }
        ::ReleaseSRWLockExclusive(&pendingLock);
        return moved ? 0 : errnoOf(error);
    }

private:
    std::filesystem::path name_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    int error_ = 0;
};

int writeHandle(HANDLE handle, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data() + done, chunk, &written, nullptr)) {
            return lastErrno();
        }
        done += written;
    }
    return 0;
}

// Writes to an existing device (NUL, say): there is nothing to replace.
int writeInPlace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    Handle handle(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) {
        return lastErrno();
    }
    if (const int error = writeHandle(handle.get(), bytes); error != 0) {
        return error;
    }
    return handle.close();
}

// Gives the new file the source's read-only attribute and, when asked, its times; what fails
// is a warning.
std::vector<MetadataWarning> giveMetadata(HANDLE handle, const WriteOptions& options) {
    std::vector<MetadataWarning> warnings;
    if (!options.source) {
        return warnings;
    }
    const FileFacts& source = *options.source;
    if (options.keepTimes) {
        const FILETIME accessed = fileTimeOf(source.accessTime);
        const FILETIME modified = fileTimeOf(source.modifyTime);
        if (!::SetFileTime(handle, nullptr, &accessed, &modified)) {
            warnings.push_back(MetadataWarning{Metadata::times, lastErrno()});
        }
    }
    if ((source.mode & 0222) == 0) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_READONLY;
        if (!::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic)) {
            warnings.push_back(MetadataWarning{Metadata::permissions, lastErrno()});
        }
    }
    return warnings;
}

}  // namespace

bool isSameFile(const std::filesystem::path& name, const FileFacts& facts) {
    Handle handle = openExisting(name, 0, Links::refuse);
    BY_HANDLE_FILE_INFORMATION file{};
    return handle.valid() && ::GetFileInformationByHandle(handle.get(), &file) &&
           factsOf(file).device == facts.device && factsOf(file).inode == facts.inode;
}

int removeIfUnchanged(const std::filesystem::path& name, const FileFacts& facts) {
    if (!isSameFile(name, facts)) {
        return kNameChanged;
    }
    return ::DeleteFileW(name.c_str()) ? 0 : lastErrno();
}

bool isTerminal(int fd) {
    // A console, not merely a character device: NUL is one of those too.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR &&
           ::GetConsoleMode(handle, &mode) != 0;
}

namespace platform {

// Text mode would turn "\r\n" into "\n" and stop reading at 0x1A, or write every "\n" as "\r\n".
void prepareDescriptor(int fd) {
    _setmode(fd, _O_BINARY);
}

std::ptrdiff_t readSome(int fd, std::uint8_t* data, std::size_t size) {
    return _read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

std::ptrdiff_t writeSome(int fd, const std::uint8_t* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20)));
}

}  // namespace platform

std::string systemErrorText(int errnoValue, unsigned long nativeError) {
    wchar_t* text = nullptr;
    const DWORD length =
        nativeError == 0
            ? 0
            : ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, nativeError, 0, reinterpret_cast<LPWSTR>(&text), 0,
                               nullptr);
    std::wstring wide(text == nullptr ? L"" : text, length);
    ::LocalFree(text);
    // One line, as a message's end: without the closing line break and full stop.
    wide.erase(wide.find_last_not_of(L" \r\n.") + 1);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return std::strerror(errnoValue);
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
}

// readFile without the Win32 error handed on.
static ReadResult readNamed(const std::filesystem::path& name, std::size_t limit, Links links) {
    ReadResult failed;
    Handle handle = openExisting(name, GENERIC_READ, links);
    if (!handle.valid()) {
        // A name no file can have (a pattern such as *.txt that matched nothing) is missing too.
        const DWORD error = ::GetLastError();
        const bool missing = errnoOf(error) == ENOENT || error == ERROR_INVALID_NAME;
        failed.problem = missing ? ReadProblem::missing : ReadProblem::system;
        failed.error = missing ? 0 : errnoOf(error);
        return failed;
    }
    const HandleInfo info = describe(handle.get());
    // Hidden and system files and folders are what a Windows user's tools do not show.
    constexpr DWORD kCountedAsMissing =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (info.onDisk && (info.file.dwFileAttributes & kCountedAsMissing) != 0) {
        failed.problem = ReadProblem::missing;
        return failed;
    }
    if (info.onDisk && (info.file.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        failed.problem = ReadProblem::link;  // opened itself: links are refused
        return failed;
    }
    if (!info.onDisk) {
        failed.problem = ReadProblem::notRegular;
        return failed;
    }
    ReadResult result;
    const std::size_t wanted = limit + 1;  // one byte more tells a file that is too large
    const std::uintmax_t size =
        (static_cast<std::uintmax_t>(info.file.nFileSizeHigh) << 32) | info.file.nFileSizeLow;
    result.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, size + 1)));
    std::size_t have = 0;
    while (have < wanted) {
        if (have == result.bytes.size()) {
            result.bytes.resize(std::min(wanted, result.bytes.size() * 2));  // the file grew
        }
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - have, 1 << 20));
        DWORD got = 0;
        if (!::ReadFile(handle.get(), result.bytes.data() + have, chunk, &got, nullptr)) {
            failed.problem = ReadProblem::system;
            failed.error = lastErrno();
            return failed;
        }
        if (got == 0) {
            break;
        }
        have += got;
    }
    result.bytes.resize(have);
    result.problem = have > limit ? ReadProblem::tooLarge : ReadProblem::none;
    result.facts = factsOf(info.file);
    return result;
}

ReadResult readFile(const std::filesystem::path& name, std::size_t limit, Links links) {
    lastNativeError = 0;
    ReadResult result = readNamed(name, limit, links);
    result.nativeError = result.problem == ReadProblem::system ? lastNativeError : 0;
    return result;
}

// Whether `name` is a file (not a link) holding exactly `bytes`.
bool holdsSameBytes(const std::filesystem::path& name, std::span<const std::uint8_t> bytes) {
    const ReadResult existing = readFile(name, bytes.size(), Links::refuse);
    return existing.problem == ReadProblem::none &&
           std::equal(bytes.begin(), bytes.end(), existing.bytes.begin(), existing.bytes.end());
}

// writeFileAtomically without the Win32 error handed on.
static WriteResult writeNamed(const std::filesystem::path& destination,
                              std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    if (destination.empty()) {
        return {ENOENT, false, {}};
    }
    bool exists = false;
    {
        Handle existing = openExisting(destination, 0, Links::refuse);
        if (existing.valid()) {
            const HandleInfo info = describe(existing.get());
            if (!info.onDisk && options.namedByUser) {
                existing.close();
                return {writeInPlace(destination, bytes), true, {}};
            }
            if (info.onDisk && isDirectory(info)) {
                return {EISDIR, false, {}};
            }
            // Windows protects a read-only file from being replaced as from being changed (as
            // `copy /y` does); some MoveFileExW implementations would replace it all the same.
            if ((info.file.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                options.replace != Replace::never) {
                return {errnoOf(ERROR_ACCESS_DENIED), false, {}};
            }
            exists = true;
        }
    }
    if (exists && options.replace == Replace::never) {
        return {EEXIST, false, {}};
    }

    Temporary temporary(destination);
    if (temporary.error() != 0) {
        return {temporary.error(), false, {}};
    }
    WriteResult result;
    if (const int error = writeHandle(temporary.handle(), bytes); error != 0) {
        return {error, false, {}};
    }
    result.warnings = giveMetadata(temporary.handle(), options);
    if (options.synchronous && !::FlushFileBuffers(temporary.handle())) {
        return {lastErrno(), false, {}};
    }
    if (const int error = temporary.close(); error != 0) {
        return {error, false, {}};
    }
    // MOVEFILE_WRITE_THROUGH returns only once the move is on disk, as the directory sync does
    // on POSIX.
    result.error = temporary.moveTo(destination, options.replace == Replace::always);
    if (result.error == EEXIST && options.replace == Replace::ask) {
        const bool replace = holdsSameBytes(destination, bytes) ||
                             (options.confirmReplace && options.confirmReplace());
        result.error = replace ? temporary.moveTo(destination, true) : ECANCELED;
    }
    return result;
}

WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    lastNativeError = 0;
    WriteResult result = writeNamed(destination, bytes, options);
    result.nativeError = result.error != 0 ? lastNativeError : 0;
    return result;
}

}  // namespace lzc::fileio
