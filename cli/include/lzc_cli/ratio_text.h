// The size figure as people read it.
#pragma once

#include <cstdint>
#include <string>

namespace lzc::cli {

// Formats a size figure in hundredths of a percent (compressionRatio's result) as a percentage
// with two decimals: 8333 -> "83.33%", 4560 -> "45.60%", 20000 -> "200.00%", 3 -> "0.03%".
std::string formatRatio(std::int32_t hundredths);

}  // namespace lzc::cli
