// The six quality levels shared by the window, the command line and the library: the window's
// label, the name that `lzc -Q` takes, and the search window the compressor gets; and the
// numeric levels 1 ... 9 that gzip and zstd users type, on those six.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lzc {

struct QualityLevel {
    std::string_view label;  // as the window lists it
    std::string_view name;   // as lzc -Q takes it
    std::int32_t window;     // the search window: how many positions back a repeat may start
};

// Best first; the window lists them in this order. 4092, not 4095, is "Below average".
inline constexpr std::array<QualityLevel, 6> kQualityLevels{{
    {"Optimal", "optimal", 32767},
    {"Good", "good", 16383},
    {"Moderate", "moderate", 8191},
    {"Below average", "below-average", 4092},
    {"Poor", "poor", 2048},
    {"Very Poor!", "very-poor", 1024},
}};

// Each level's window by name, for code that picks one level.
inline constexpr std::int32_t kWindowOptimal = kQualityLevels[0].window;
inline constexpr std::int32_t kWindowGood = kQualityLevels[1].window;
inline constexpr std::int32_t kWindowModerate = kQualityLevels[2].window;
inline constexpr std::int32_t kWindowBelowAverage = kQualityLevels[3].window;
inline constexpr std::int32_t kWindowPoor = kQualityLevels[4].window;
inline constexpr std::int32_t kWindowVeryPoor = kQualityLevels[5].window;

// The level whose name (optimal ... very-poor) matches, ignoring ASCII case; nullopt for any
// other name.
std::optional<QualityLevel> qualityByName(std::string_view name);

// The numeric levels: 9 the best, 1 the fastest.
inline constexpr int kFastestLevel = 1;
inline constexpr int kBestLevel = 9;

// For each level from 1 to 9, its quality as an index into kQualityLevels.
inline constexpr std::array<std::size_t, kBestLevel> kLevelQualities{5, 4, 3, 2, 2, 1, 1, 0, 0};

// The quality of a level of at least 1; a level above 9 (zstd's -19) is the best.
constexpr const QualityLevel& qualityOfLevel(int level) {
    const int clamped = std::clamp(level, kFastestLevel, kBestLevel);
    return kQualityLevels[kLevelQualities[static_cast<std::size_t>(clamped - 1)]];
}

}  // namespace lzc
