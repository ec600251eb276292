// The window's decisions, without a toolkit: which search window the quality box stands for,
// which names an operation gets, and the sentences of its message. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lzc/quality.h"

namespace vellicor {

// The quality list (lzc::kQualityLevels), best first; an item's list index selects its search
// window.
inline constexpr int kQualityCount = static_cast<int>(lzc::kQualityLevels.size());
// The item's label in the user's language; empty outside the list.
std::string qualityLabel(int index);

// What the quality box shows: the selected item's index (-1 for none) and its text.
struct QualityBox {
    int index = -1;
    std::string text;
};

// The list index the box stands for: its selected item, unless the text no longer reads as that
// item (the user typed into the box, and the toolkit kept the index); then -1.
int qualityIndex(const QualityBox& box);

struct QualityChoice {
    std::int32_t searchWindow = 0;
    // The index lies outside the list: the window shows it, then compresses with the smallest
    // search window.
    bool reportIndex = false;
};
QualityChoice chooseQuality(int index);

// Where a decompression writes: the name without its last four characters (code points).
// nullopt when that leaves no name, or an empty one: the window then refuses.
std::optional<std::string> decompressionDestination(std::string_view source);

// The compressed size figure r (hundredths of a percent) as a number: r / 100 with a leading
// space (or minus sign), no trailing zeros, no point for whole numbers and no zero before the
// point: 8333 -> " 83.33", 4560 -> " 45.6", 10000 -> " 100", 3 -> " .03".
std::string ratioText(std::int32_t ratio);

// The message after compressing (ratio or -1) and after decompressing (0 or -1), in the user's
// language; in English exactly "Compressed Size: 83.33%", "Successfully decompressed" and so on.
std::string compressionMessage(std::int32_t result);
std::string decompressionMessage(std::int32_t result);

}  // namespace vellicor
