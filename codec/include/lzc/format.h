// The ".lzc" stream's bounds.
//
// A stream has no header, no stored length and no checksum. It is a flat sequence of tokens:
//
//   literal run  1nnnnnnn nnnnnnnn  <n literal bytes>  [filler byte]
//   match        0ppppppp pppppppp  xlllllll llllllll
//
// Numbers are 15 bits, big-endian. A match copies `len` bytes starting at the absolute 1-based
// position `p` of the restored data (not a distance back). A literal run that is followed by a
// match carries one filler byte after its literal bytes, which readers step over unread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzc {

// Largest source the format can describe: positions and lengths are 15-bit fields.
inline constexpr std::int32_t kMaxSourceSize = 0x7FFF;

// Longest stream a file is read for. Each token of a stream that a compressor writes restores at
// least one byte in at most four stream bytes, so no such stream of a 32767-byte file is longer;
// a longer input is refused unread past this bound, whatever its size.
inline constexpr auto kMaxStreamSize = static_cast<std::size_t>(4 * (kMaxSourceSize + 1));

}  // namespace lzc
