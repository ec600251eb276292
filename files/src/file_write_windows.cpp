// Writing on Windows: all or nothing, through a hidden file beside the destination that other
// processes cannot open while it is written, moved into place with MoveFileExW.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "lzc/file_io.h"
#include "windows_handles.h"

namespace lzc::fileio {
namespace {

using namespace windows;  // the shared handles and errors

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
