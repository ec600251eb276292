// How compressed files are named: FILE is compressed to FILE.lzc, and FILE.lzc restores to
// FILE. Names are UTF-8 byte strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lzc {

// source + ".lzc".
std::string compressedName(std::string_view source);

// Whether the name ends in ".lzc": exactly on POSIX systems, in any letter case on Windows,
// whose names differ in case only in how they are written (NOTES.TXT.LZC).
bool hasCompressedSuffix(std::string_view name);

// The device that Windows opens at `name` in place of a file, upper-cased ("AUX" for
// "dir/aux.lzc"), or nullopt. The last component is a device when what stands before its first
// dot, less trailing spaces, is CON, PRN, AUX, NUL, COM1-9 or LPT1-9 in any case. Only Windows
// reserves these; the rule is the same string test everywhere.
std::optional<std::string> reservedDeviceName(std::string_view name);

// The compressed name without its last four characters, whatever they are; a character is a
// UTF-8 code point (a stray continuation byte with no lead byte counts as one). A name of
// fewer than four characters leaves no name (nullopt); exactly four leave an empty one.
std::optional<std::string> restoredName(std::string_view compressed);

// A name as messages show it: unchanged when it is printable UTF-8; otherwise quoted as a shell
// would read it back, with control characters and invalid bytes escaped, so that no name can
// break a line or forge one: "a\nb" shows as 'a'$'\n''b'.
std::string quotedName(std::string_view name);

}  // namespace lzc
