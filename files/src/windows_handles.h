// What the Windows file layer's reading and writing halves share: Win32 errors as errno values
// (with the Win32 code kept for messages), owned handles, opening a name inside an open
// directory, and facts from a handle.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <winternl.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "lzc/file_io.h"

namespace lzc::fileio::windows {

// The Win32 error behind the errno value errnoOf made last on this thread: readFile and
// writeFileAtomically hand it on with their errno, for messages in the system's own words.
inline thread_local DWORD lastNativeError = 0;

inline int errnoOf(DWORD error) {
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
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

inline int lastErrno() {
    return errnoOf(::GetLastError());
}

// Closes a handle on every path out of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        close();
        handle_ = other.release();
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    // Hands the handle over to the caller, who closes it.
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
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

// An open directory's handle as the int the portable ...At functions take, and back: Windows
// keeps handle values within 32 bits, so that 32-bit and 64-bit processes can share them.
inline int descriptorOf(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

inline HANDLE handleOf(int descriptor) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor));
}

// Sets the Win32 error of an NTSTATUS and returns it as an errno value.
inline int errnoOfStatus(NTSTATUS status) {
    const DWORD error = ::RtlNtStatusToDosError(status);
    ::SetLastError(error);
    return errnoOf(error);
}

// Opens `name`, one name without a folder, inside the open `directory`. The Win32 calls take
// whole paths only, which are looked up again from the top each time; NtCreateFile opens
// relative to a handle, so a folder on the way that is swapped meanwhile cannot redirect it.
// `options` are NtCreateFile's (FILE_OPEN_REPARSE_POINT opens a link itself). On failure the
// handle is invalid and GetLastError() tells why.
inline Handle openInside(HANDLE directory, std::wstring_view name, ACCESS_MASK access, ULONG share,
                         ULONG disposition, ULONG options) {
    if (name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE ||
        name.find_first_of(L"\\/") != std::wstring_view::npos) {
        ::SetLastError(ERROR_INVALID_NAME);  // one name, never a path that climbs out
        return Handle(INVALID_HANDLE_VALUE);
    }
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.data());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, directory, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = INVALID_HANDLE_VALUE;
    const NTSTATUS status = ::NtCreateFile(
        &handle, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
        disposition, options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr,
        0);
    if (!NT_SUCCESS(status)) {
        errnoOfStatus(status);
        return Handle(INVALID_HANDLE_VALUE);
    }
    return Handle(handle);
}

// Where a name lies: its folder, opened once (following links on the way, as the path says),
// and its last name there as Windows reads it (without trailing dots and spaces, say). On
// failure `error` says why, in errno's words with the Win32 error kept (a missing folder is a
// missing path); a device's name (\\.\NUL) has no folder and gives EINVAL.
struct Folder {
    Handle directory{INVALID_HANDLE_VALUE};
    std::wstring name;
    int error = 0;
};
Folder openFolderOf(const std::filesystem::path& name);

// Opens a name with `access`; a directory opens too, and a link is opened itself unless
// `links` follows it.
inline Handle openExisting(const std::filesystem::path& name, DWORD access, Links links) {
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

inline HandleInfo describe(HANDLE handle) {
    HandleInfo info;
    info.onDisk = ::GetFileType(handle) == FILE_TYPE_DISK &&
                  ::GetFileInformationByHandle(handle, &info.file) != 0;
    return info;
}

inline bool isDirectory(const HandleInfo& info) {
    return (info.file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// 100-nanosecond ticks since 1601, to nanoseconds since 1970, and back.
constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;

inline std::int64_t nanosecondsOf(const FILETIME& time) {
    const auto ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kTicksFrom1601To1970) * 100;
}

inline FILETIME fileTimeOf(std::int64_t nanoseconds) {
    const auto ticks = static_cast<std::uint64_t>(nanoseconds / 100 + kTicksFrom1601To1970);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

inline FileFacts factsOf(const BY_HANDLE_FILE_INFORMATION& file) {
    FileFacts facts;
    facts.mode = (file.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    facts.accessTime = nanosecondsOf(file.ftLastAccessTime);
    facts.modifyTime = nanosecondsOf(file.ftLastWriteTime);
    facts.device = file.dwVolumeSerialNumber;
    facts.inode = (static_cast<std::uint64_t>(file.nFileIndexHigh) << 32) | file.nFileIndexLow;
    return facts;
}

}  // namespace lzc::fileio::windows
