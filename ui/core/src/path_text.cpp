#include "vellicor/path_text.h"

#include <cstdlib>
#include <system_error>

namespace vellicor {

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string absoluteName(std::string_view name) {
    if (name.empty()) {
        return {};
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(pathFromUtf8(name), error);
    if (error) {
        return std::string(name);
    }
    path = path.lexically_normal();
    // "a/." normalizes to "a/": the separator stays only where the name ended in one.
    const bool endsInSeparator = pathFromUtf8(name.substr(name.size() - 1)).has_root_directory();
    if (!endsInSeparator && !path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return utf8FromPath(path);
}

std::string withHomeFolder(std::string_view name) {
#ifdef _WIN32
    const char* const home = std::getenv("USERPROFILE");
    const bool separator = name.size() > 1 && (name[1] == '/' || name[1] == '\\');
#else
    const char* const home = std::getenv("HOME");
    const bool separator = name.size() > 1 && name[1] == '/';
#endif
    if (home == nullptr || *home == '\0' || name.empty() || name[0] != '~' ||
        (name.size() > 1 && !separator)) {
        return std::string(name);
    }
    return home + std::string(name.substr(1));
}

}  // namespace vellicor
