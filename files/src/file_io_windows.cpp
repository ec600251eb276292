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
// - Directories are handles, and names are opened inside them with NtCreateFile (the Win32 calls
//   take whole paths only): the walk's levels, and a destination's folder, opened once.
// - A rename inside a folder handle without ReplaceIfExists gives the no-replace rename's
//   promise: an existing destination, even one that appeared meanwhile, is kept.
// - The temporary is marked for deletion until it is moved into place, so the system removes
//   it however the process ends (Ctrl+C, Ctrl+Break, closing the console, or being killed); the
//   console control handler only stops further moves.
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
#include <string>
#include <vector>

#include "file_io_platform.h"
#include "lzc/file_io.h"
#include "lzc/tree_walk.h"
#include "windows_handles.h"

namespace lzc::fileio {

using namespace windows;  // the shared handles and errors

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a name in `directory`, or by its path when that is the working directory.
Handle openAt(int directory, const std::filesystem::path& name, DWORD access, Links links) {
    if (directory == kWorkingDirectory) {
        return openExisting(name, access, links);
    }
    return openInside(handleOf(directory), name.native(), access | FILE_READ_ATTRIBUTES, kShareAll,
                      FILE_OPEN, links == Links::refuse ? FILE_OPEN_REPARSE_POINT : 0);
}

bool isSameOpenFile(HANDLE handle, const FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION file{};
    return ::GetFileInformationByHandle(handle, &file) && factsOf(file).device == facts.device &&
           factsOf(file).inode == facts.inode;
}

}  // namespace

bool isSameFileAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    Handle handle = openAt(directory, name, FILE_READ_ATTRIBUTES, Links::refuse);
    return handle.valid() && isSameOpenFile(handle.get(), facts);
}

bool isSameFile(const std::filesystem::path& name, const FileFacts& facts) {
    return isSameFileAt(kWorkingDirectory, name, facts);
}

// The file is opened for deletion, compared, and deleted through that one handle: whatever
// comes to stand at the name meanwhile is not what is removed.
int removeIfUnchangedAt(int directory, const std::filesystem::path& name, const FileFacts& facts) {
    Handle handle = openAt(directory, name, DELETE | FILE_READ_ATTRIBUTES, Links::refuse);
    if (!handle.valid()) {
        const int error = lastErrno();
        return error == ENOENT ? kNameChanged : error;
    }
    if (!isSameOpenFile(handle.get(), facts)) {
        return kNameChanged;
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!::SetFileInformationByHandle(handle.get(), FileDispositionInfo, &disposition,
                                      sizeof disposition)) {
        return lastErrno();
    }
    return handle.close();
}

int removeIfUnchanged(const std::filesystem::path& name, const FileFacts& facts) {
    return removeIfUnchangedAt(kWorkingDirectory, name, facts);
}

// The folder is found as openFolderOf finds it (the path followed as given) and held open; the
// name is then the last one as Windows reads it. A device's name has no folder and stays whole,
// and so does a name whose folder cannot be opened.
DirectoryOfName openDirectoryOf(int directory, const std::filesystem::path& name) {
    DirectoryOfName found;
    found.directory = directory;
    found.name = name;
    const std::filesystem::path leaf = name.filename();
    if (directory != kWorkingDirectory || !name.has_parent_path() || leaf.empty() || leaf == "." ||
        leaf == "..") {
        return found;
    }
    Folder folder = openFolderOf(name);
    if (folder.error != 0) {
        return found;  // looked up whole, the failure then worded with the system's own error
    }
    found.opened = std::make_shared<const OpenDirectory>(descriptorOf(folder.directory.get()));
    folder.directory.release();  // closed by the last holder of `opened`
    found.directory = found.opened->descriptor();
    found.name = std::filesystem::path(folder.name);
    return found;
}

Folder windows::openFolderOf(const std::filesystem::path& name) {
    Folder folder;
    const std::wstring& given = name.native();
    const DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length =
        size == 0 ? 0 : ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        folder.error = size == 0 ? lastErrno() : EINVAL;
        return folder;
    }
    full.resize(length);
    const std::size_t slash = full.find_last_of(L'\\');
    if (full.starts_with(L"\\\\.\\") || slash == std::wstring::npos || slash + 1 == full.size()) {
        folder.error = EINVAL;  // a device, or a folder's own name (C:\)
        return folder;
    }
    folder.name = full.substr(slash + 1);
    std::wstring path = full.substr(0, slash + 1);
    // The \\?\ form takes the path as it is, at any length.
    if (!path.starts_with(L"\\\\")) {
        path = L"\\\\?\\" + path;
    } else if (!path.starts_with(L"\\\\?\\")) {
        path = L"\\\\?\\UNC\\" + path.substr(2);
    }
    folder.directory =
        Handle(::CreateFileW(path.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.directory.valid()) {
        const DWORD error = ::GetLastError();
        folder.error = errnoOf(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    }
    return folder;
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

// readFileAt without the Win32 error handed on.
static ReadResult readNamed(int directory, const std::filesystem::path& name, std::size_t limit,
                            Links links) {
    ReadResult failed;
    Handle handle = openAt(directory, name, GENERIC_READ, links);
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

ReadResult readFileAt(int directory, const std::filesystem::path& name, std::size_t limit,
                      Links links) {
    lastNativeError = 0;
    ReadResult result = readNamed(directory, name, limit, links);
    result.nativeError = result.problem == ReadProblem::system ? lastNativeError : 0;
    return result;
}

ReadResult readFile(const std::filesystem::path& name, std::size_t limit, Links links) {
    return readFileAt(kWorkingDirectory, name, limit, links);
}

}  // namespace lzc::fileio
