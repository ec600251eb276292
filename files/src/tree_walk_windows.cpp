// The directory walk on Windows, through handles: each level is opened inside the handle of the
// one above it (NtCreateFile with a root directory) without following a reparse point at its
// name, and listed through its own handle. No path is ever made longer than one name, so the
// depth of a tree has no limit, and a folder swapped for a junction meanwhile is met as a link,
// never entered. Hidden and system files and folders are passed over, as Explorer and the
// wildcards of lzc pass them over.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "lzc/tree_walk.h"
#include "windows_handles.h"

namespace lzc::fileio {

using namespace windows;  // the shared handles and errors

OpenDirectory::~OpenDirectory() {
    ::CloseHandle(handleOf(descriptor_));
}

namespace {

constexpr DWORD kPassedOver = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr ACCESS_MASK kListAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string utf8Of(std::wstring_view wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

std::wstring wideOf(const std::string& utf8) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                          size);
    return text;
}

struct Name {
    std::wstring name;
    DWORD attributes;
};

// Lists the open directory whole, without "." and "..". Returns 0 or the errno of the failing
// call.
int listNames(HANDLE directory, std::vector<Name>& names) {
    // Aligned for the entries' 64-bit fields; each call fills it with as many entries as fit.
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(directory, kind, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * 8))) {
            const DWORD error = ::GetLastError();
            return error == ERROR_NO_MORE_FILES ? 0 : errnoOf(error);
        }
        kind = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + at);
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                names.push_back({std::wstring(name), entry->FileAttributes});
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            at += entry->NextEntryOffset;
        }
    }
}

// One directory on the path being walked: its names, read whole before any is worked on, so
// that the outputs written into it meanwhile are not met as inputs.
struct Level {
    std::shared_ptr<const OpenDirectory> directory;
    std::string path;
    std::vector<Name> names;
    std::size_t next = 0;
};

void report(const std::function<void(WalkEntry&&)>& visit, WalkEntry::Kind kind, std::string path,
            int error) {
    WalkEntry entry;
    entry.kind = kind;
    entry.path = std::move(path);
    entry.error = error;
    visit(std::move(entry));
}

class Walk {
public:
    explicit Walk(const std::function<void(WalkEntry&&)>& visit) : visit_(visit) {}

    // Enters the directory open at `handle`, which it takes over; `path` names it in messages.
    void enter(HANDLE handle, std::string path) {
        Level level;
        level.directory = std::make_shared<const OpenDirectory>(descriptorOf(handle));
        level.path = std::move(path);
        if (const int error = listNames(handle, level.names); error != 0) {
            report(WalkEntry::Kind::unreadable, level.path, error);
            return;
        }
        std::sort(level.names.begin(), level.names.end(),
                  [](const Name& a, const Name& b) { return a.name < b.name; });
        levels_.push_back(std::move(level));
    }

    void run() {
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.next == level.names.size()) {
                levels_.pop_back();
                continue;
            }
            Name& entry = level.names[level.next++];
            step(level, std::move(entry));
        }
    }

private:
    void report(WalkEntry::Kind kind, std::string path, int error) {
        fileio::report(visit_, kind, std::move(path), error);
    }

    // Works on one name of the innermost level: may enter a directory, which makes a new level.
    void step(Level& level, Name entry) {
        if ((entry.attributes & kPassedOver) != 0) {
            return;
        }
        std::string name = utf8Of(entry.name);
        std::string path = level.path +
                           (level.path.ends_with('\\') || level.path.ends_with('/') ? "" : "\\") +
                           name;
        if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            report(WalkEntry::Kind::link, std::move(path), 0);
            return;
        }
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            Handle opened =
                openInside(handleOf(level.directory->descriptor()), entry.name, kListAccess,
                           kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT);
            BY_HANDLE_FILE_INFORMATION info{};
            if (!opened.valid()) {
                const DWORD error = ::GetLastError();
                if (error != ERROR_DIRECTORY && error != ERROR_FILE_NOT_FOUND) {
                    report(WalkEntry::Kind::unreadable, std::move(path), errnoOf(error));
                    return;
                }
                // Not a directory (any more): the file operation looks at it through a handle.
            } else if (!::GetFileInformationByHandle(opened.get(), &info)) {
                report(WalkEntry::Kind::unreadable, std::move(path), lastErrno());
                return;
            } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                report(WalkEntry::Kind::link, std::move(path), 0);  // swapped in since listed
                return;
            } else {
                enter(opened.release(),
                      std::move(path));  // may reallocate levels_: `level` is not used
                return;
            }
        }
        WalkEntry file;
        file.directory = level.directory;
        file.name = std::move(name);
        file.path = std::move(path);
        visit_(std::move(file));
    }

    const std::function<void(WalkEntry&&)>& visit_;
    std::vector<Level> levels_;
};

}  // namespace

bool walkTree(const std::string& root, Links links, const std::function<void(WalkEntry&&)>& visit) {
    const DWORD reparse = links == Links::refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    Handle opened(::CreateFileW(wideOf(root).c_str(), kListAccess, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | reparse, nullptr));
    const auto refused = [&](DWORD attributes) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
               (reparse != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
    };
    if (!opened.valid()) {
        // A directory that cannot be opened is reported; anything else is taken for a file.
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(wideOf(root).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || refused(attributes)) {
            return false;
        }
        report(visit, WalkEntry::Kind::unreadable, root, errnoOf(error));
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(opened.get(), &info) || refused(info.dwFileAttributes)) {
        return false;
    }
    Walk walk(visit);
    walk.enter(opened.release(), root);
    walk.run();
    return true;
}

}  // namespace lzc::fileio
