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

}  // namespace lzc::cli
