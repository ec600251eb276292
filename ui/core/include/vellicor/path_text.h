// Names as the window shows them (UTF-8 text) and as the file layer takes them (paths). The
// conversions never pass through a code page: on Windows a path is built from its UTF-8 bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellicor {

std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

// The name made absolute against the current folder, with "." and ".." resolved and doubled
// separators dropped; a trailing separator stays. Empty stays empty.
std::string absoluteName(std::string_view name);

// "~" and "~/NAME" (also "~\\NAME" on Windows) with the home folder in place of "~": HOME, or on
// Windows USERPROFILE. Any other name, or one without a home folder to put in, stays as it is.
std::string withHomeFolder(std::string_view name);

}  // namespace vellicor
