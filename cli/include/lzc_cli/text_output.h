// Text for people (help, messages) on a standard stream, written as each system shows it.
#pragma once

#include <cstdio>
#include <string_view>

namespace lzc::cli {

// Writes UTF-8 text with "\n" line ends to `stream`. On a Windows console it goes in UTF-16
// (WriteConsoleW), whatever the console's code page; elsewhere on Windows as UTF-8 with "\r\n"
// line ends, as a Windows text file has them. On POSIX systems the bytes go as they are.
// Returns false when the write failed.
bool writeText(std::FILE* stream, std::string_view text);

// The same for an open descriptor (lzc -l's table on standard output). Returns 0 or the errno
// of the failing call.
int writeText(int fd, std::string_view text);

}  // namespace lzc::cli
