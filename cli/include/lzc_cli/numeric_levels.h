// lzc -1 ... -9, the levels gzip and zstd users type, on the six qualities: -9 the best,
// -1 the fastest.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "lzc/quality.h"

namespace lzc::cli {

inline constexpr int kFastestLevel = 1;  // --fast
inline constexpr int kBestLevel = 9;     // --best

// For each level from 1 to 9, its quality as an index into kQualityLevels (best first).
inline constexpr std::array<std::size_t, kBestLevel> kLevelQualities{5, 4, 3, 2, 2, 1, 1, 0, 0};

// The quality of a level of at least 1; a level above 9 (zstd's -19) is the best.
inline const QualityLevel& qualityOfLevel(int level) {
    const int clamped = std::clamp(level, kFastestLevel, kBestLevel);
    return kQualityLevels[kLevelQualities[static_cast<std::size_t>(clamped - 1)]];
}

}  // namespace lzc::cli
