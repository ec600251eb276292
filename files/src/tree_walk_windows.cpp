// The directory walk on Windows, by names: a reparse point (a link or a junction) is reported,
// never entered, so the walk stays inside the tree it was given.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "lzc/tree_walk.h"

namespace lzc::fileio {

OpenDirectory::~OpenDirectory() = default;

namespace {

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

void walk(const std::filesystem::path& directory, const std::string& path,
          const std::shared_ptr<const OpenDirectory>& working,
          const std::function<void(WalkEntry&&)>& visit) {
    std::error_code error;
    std::vector<std::filesystem::path> names;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(it->path().filename());
    }
    if (error) {
        WalkEntry entry;
        entry.kind = WalkEntry::Kind::unreadable;
        entry.error = error.value() == ERROR_ACCESS_DENIED ? EACCES : EIO;
        entry.path = path;
        visit(std::move(entry));
        return;
    }
    std::sort(names.begin(), names.end());
    for (const std::filesystem::path& name : names) {
        const std::filesystem::path full = directory / name;
        WalkEntry entry;
        entry.path = path + (path.ends_with('/') || path.ends_with('\\') ? "" : "/") + utf8Of(name);
        const DWORD attributes = ::GetFileAttributesW(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            entry.kind = WalkEntry::Kind::link;
            visit(std::move(entry));
        } else if (attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            walk(full, entry.path, working, visit);
        } else {
            entry.directory = working;
            entry.name = utf8Of(full);
            visit(std::move(entry));
        }
    }
}

}  // namespace

bool walkTree(const std::string& root, Links links, const std::function<void(WalkEntry&&)>& visit) {
    const std::filesystem::path start = pathOf(root);
    const DWORD attributes = ::GetFileAttributesW(start.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && links == Links::refuse)) {
        return false;
    }
    walk(start, root, std::make_shared<const OpenDirectory>(kWorkingDirectory), visit);
    return true;
}

}  // namespace lzc::fileio
