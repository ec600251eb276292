// Writing on Windows: all or nothing, through a hidden file beside the destination that other
// processes cannot open while it is written and that the system deletes if the process ends
// before it is complete. The destination's folder is opened once; the hidden file is made,
// checked and renamed inside that handle, so a folder on the path swapped meanwhile cannot send
// the output elsewhere.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "lzc/file_io.h"
#include "windows_handles.h"

namespace lzc::fileio {
namespace {

using namespace windows;  // the shared handles and errors

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Held while a finished file is moved into place; Ctrl+C takes it to stop any further move, so
// every unfinished file is either in place or deleted with the process.
SRWLOCK moveLock = SRWLOCK_INIT;
bool ending = false;

BOOL WINAPI stopMovesOnInterrupt(DWORD /*event*/) {
    ::AcquireSRWLockExclusive(&moveLock);
    ending = true;
    ::ReleaseSRWLockExclusive(&moveLock);
    return FALSE;  // the next handler ends the process, which deletes the unfinished files
}

// Whether the system deletes `file` once its last handle is closed. A read-only file cannot be
// deleted, so it loses that attribute first.
bool setDeletedOnClose(HANDLE file, bool deleted) {
    if (deleted) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(deleted)};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

// Renames the open `file` to `name` inside `directory`.
int renameInside(HANDLE file, HANDLE directory, const std::wstring& name, bool replace) {
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFORMATION) +
                                     name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = replace ? TRUE : FALSE;
    rename->RootDirectory = directory;
    rename->FileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        ::NtSetInformationFile(file, &io, rename, static_cast<ULONG>(buffer.size()),
                               static_cast<FILE_INFORMATION_CLASS>(FileRenameInformation));
    return NT_SUCCESS(status) ? 0 : errnoOfStatus(status);
}

// The temporary file a write goes to: created beside the destination, deleted by the system
// unless it is moved into place.
class Temporary {
public:
    Temporary(HANDLE directory, const std::wstring& target) : directory_(directory) {
        static const bool handlerInstalled =
            ::SetConsoleCtrlHandler(stopMovesOnInterrupt, TRUE) != 0;
        (void)handlerInstalled;
        thread_local std::mt19937_64 generator{std::random_device{}()};
        const std::wstring stem = target.substr(0, 200);
        for (int attempt = 0; attempt < 100; ++attempt) {
            wchar_t suffix[16];
            std::swprintf(suffix, std::size(suffix), L"%010llx",
                          static_cast<unsigned long long>(generator() & 0xFFFFFFFFFFULL));
            // Shared for deletion only: no other process can open it to read it before it is
            // complete. (The handle is closed only once it is in place.)
            Handle created =
                openInside(directory, L"." + stem + L"." + suffix + L".tmp", GENERIC_WRITE | DELETE,
                           FILE_SHARE_DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
            const DWORD error = ::GetLastError();
            if (created.valid()) {
                if (!setDeletedOnClose(created.get(), true)) {
                    error_ = lastErrno();
                    return;  // closing it deletes nothing: there is nothing in it yet
                }
                handle_ = created.release();
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
    ~Temporary() { close(); }

    int error() const { return error_; }
    HANDLE handle() const { return handle_; }

    // Moves the finished file to `target` in its directory, replacing what is there only when
    // asked to, and closes it.
    int moveTo(const std::wstring& target, bool replaceExisting, bool synchronous) {
        ::AcquireSRWLockExclusive(&moveLock);
        int error = ending ? EINTR : 0;
        if (error == 0 && !setDeletedOnClose(handle_, false)) {
            error = lastErrno();
        }
        if (error == 0) {
            error = renameInside(handle_, directory_, target, replaceExisting);
            if (error != 0) {
                setDeletedOnClose(handle_, true);
            }
        }
        ::ReleaseSRWLockExclusive(&moveLock);
        if (error != 0) {
            return error;  // still open, and deleted when closed
        }
        // In place; with `synchronous`, a failure to get it to disk is reported all the same.
        error = synchronous && !::FlushFileBuffers(handle_) ? lastErrno() : 0;
        const int closed = close();
        return error != 0 ? error : closed;
    }

private:
    int close() {
        if (handle_ == INVALID_HANDLE_VALUE) {
            return 0;
        }
        const BOOL closed = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed ? 0 : lastErrno();
    }

    HANDLE directory_;
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

// Whether Windows takes `name` for a device (NUL, COM1) in whatever folder it stands.
bool namesDevice(const std::filesystem::path& name) {
    wchar_t full[MAX_PATH];
    const DWORD length = ::GetFullPathNameW(name.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH &&
           std::wstring_view(full, length).starts_with(L"\\\\.\\");
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

// Whether `name` in `directory` is a file (not a link) holding exactly `bytes`.
bool holdsSameBytes(HANDLE directory, const std::wstring& name,
                    std::span<const std::uint8_t> bytes) {
    const ReadResult existing = readFileAt(descriptorOf(directory), std::filesystem::path(name),
                                           bytes.size(), Links::refuse);
    return existing.problem == ReadProblem::none &&
           std::equal(bytes.begin(), bytes.end(), existing.bytes.begin(), existing.bytes.end());
}

// Writes `name` inside the open `directory`, as writeFileAtomically describes.
WriteResult writeInside(HANDLE directory, const std::wstring& name,
                        std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    bool exists = false;
    {
        Handle existing = openInside(directory, name, FILE_READ_ATTRIBUTES, kShareAll, FILE_OPEN,
                                     FILE_OPEN_REPARSE_POINT);
        if (existing.valid()) {
            const HandleInfo info = describe(existing.get());
            if (isDirectory(info)) {
                return {EISDIR, false, {}};
            }
            // Windows protects a read-only file from being replaced as from being changed (as
            // `copy /y` does); a rename would replace it all the same.
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

    Temporary temporary(directory, name);
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
    result.error = temporary.moveTo(name, options.replace == Replace::always, options.synchronous);
    if (result.error == EEXIST && options.replace == Replace::ask) {
        const bool replace = holdsSameBytes(directory, name, bytes) ||
                             (options.confirmReplace && options.confirmReplace());
        result.error = replace ? temporary.moveTo(name, true, options.synchronous) : ECANCELED;
    }
    return result;
}

// writeFileAtomically without the Win32 error handed on.
WriteResult writeNamed(const std::filesystem::path& destination,
                       std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    if (destination.empty()) {
        return {ENOENT, false, {}};
    }
    {
        // A device (NUL, say) is written only when the user named it as the output.
        Handle existing = openExisting(destination, 0, Links::refuse);
        if (existing.valid() && !describe(existing.get()).onDisk) {
            existing.close();
            return options.namedByUser ? WriteResult{writeInPlace(destination, bytes), true, {}}
                                       : WriteResult{EEXIST, false, {}};
        }
    }
    const Folder folder = openFolderOf(destination);
    if (folder.error != 0) {
        return {folder.error, false, {}};
    }
    return writeInside(folder.directory.get(), folder.name, bytes, options);
}

}  // namespace

WriteResult writeFileAtomicallyAt(int directory, const std::filesystem::path& destination,
                                  std::span<const std::uint8_t> bytes,
                                  const WriteOptions& options) {
    lastNativeError = 0;
    // A device's name inside a folder (-o DIR\\NUL beside the source) is the device itself.
    WriteResult result =
        directory == kWorkingDirectory || namesDevice(destination)
            ? writeNamed(destination, bytes, options)
            : writeInside(handleOf(directory), destination.native(), bytes, options);
    result.nativeError = result.error != 0 ? lastNativeError : 0;
    return result;
}

WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes, const WriteOptions& options) {
    return writeFileAtomicallyAt(kWorkingDirectory, destination, bytes, options);
}

}  // namespace lzc::fileio
