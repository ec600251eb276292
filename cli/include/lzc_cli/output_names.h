// The name of each input's output: FILE -> FILE.lzc, FILE.lzc -> FILE.
#pragma once

#include <string>
#include <string_view>

namespace lzc::cli {

// An output name, or why there is none (`refusal`, without the input's name).
struct OutputName {
    std::string name;
    std::string refusal;
};

// FILE -> FILE.lzc; a FILE that already ends in .lzc only with `force`.
OutputName compressedName(const std::string& input, bool force);

// FILE.lzc -> FILE; a FILE without the suffix, or one that is nothing but it, has none.
OutputName restoredName(const std::string& input);

// Why an output named with -o is refused, or nothing. On Windows, a device name (NUL, COM1) is
// written as the device, on purpose, like -o /dev/null; but a device name with a suffix
// (aux.lzc) and the console (CON) are refused. A derived output (compressedName, restoredName)
// that would be a device is refused there.
std::string namedOutputRefusal(const std::string& output);

}  // namespace lzc::cli
