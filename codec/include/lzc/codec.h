// The in-memory codec: bytes in, bytes out. No files, no messages, no exceptions.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "lzc/progress.h"
#include "lzc/quality.h"
#include "lzc/status.h"

namespace lzc {

// Compresses `source` (1 ... kMaxSourceSize bytes) into `out` with the given search window:
// how many positions back a repeat may start. Progress is stepped once per loop iteration.
// Returns ok, emptyInput or sourceTooLarge; `out` is left empty on failure.
Status compressBuffer(std::span<const std::uint8_t> source, std::int32_t window,
                      std::vector<std::uint8_t>& out, ProgressPair& progress,
                      std::int32_t interval = kDefaultProgressInterval);

// Restores a stream into `out`. Never reads outside `stream` and never writes outside `out`,
// whatever the stream holds: a match that starts at position 0 or beyond the bytes restored so
// far, a token cut off by the end of the stream, or restored data longer than kMaxSourceSize
// gives invalidStream. An empty stream gives emptyInput. `out` is left empty on failure.
// Progress is stepped once per token.
Status decompressBuffer(std::span<const std::uint8_t> stream, std::vector<std::uint8_t>& out,
                        ProgressPair& progress, std::int32_t interval = kDefaultProgressInterval);

// The size figure reported after compression, in hundredths of a percent:
// floor((compressed + 1) / (source + 1) * 10000), the division done first. A figure that does
// not fit in 32 bits (only a stream far longer than what it restores gets there) saturates at
// kRatioSaturated, which callers may show as "no figure".
inline constexpr std::int32_t kRatioSaturated = std::numeric_limits<std::int32_t>::max();
std::int32_t compressionRatio(std::size_t sourceSize, std::size_t compressedSize);

}  // namespace lzc
