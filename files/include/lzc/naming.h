// How compressed files are named: FILE is compressed to FILE.lzc, and FILE.lzc restores to
// FILE. Names are UTF-8 byte strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lzc {

// source + ".lzc".
std::string compressedName(std::string_view source);

// Whether the name ends in ".lzc" (exactly, case included).
bool hasCompressedSuffix(std::string_view name);

// The compressed name without its last four characters, whatever they are; a character is a
// UTF-8 code point (a stray continuation byte with no lead byte counts as one). A name of
// fewer than four characters leaves no name (nullopt); exactly four leave an empty one.
std::optional<std::string> restoredName(std::string_view compressed);

// A name as messages show it: unchanged when it is printable UTF-8; otherwise quoted as a shell
// would read it back, with control characters and invalid bytes escaped, so that no name can
// break a line or forge one: "a\nb" shows as 'a'$'\n''b'.
std::string quotedName(std::string_view name);

}  // namespace lzc
