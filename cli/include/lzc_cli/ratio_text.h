// The size figure as people read it.
#pragma once

#include <cstdint>
#include <string>

namespace lzc::cli {

// Formats a size figure in hundredths of a percent (compressionRatio's result) as a percentage
// with at most two decimals and no trailing zeros: 8333 -> "83.33%", 4560 -> "45.6%",
// 10000 -> "100%", 3 -> "0.03%".
std::string formatRatio(std::int32_t hundredths);

}  // namespace lzc::cli
