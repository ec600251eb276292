// What the Windows file layer's reading and writing halves share: Win32 errors as errno values
// (with the Win32 code kept for messages), owned handles, and facts from a handle.
#pragma once

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

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
