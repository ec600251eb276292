// The ".lzc" token stream: constants, the token record, and reading and writing single tokens.
//
// A stream has no header, no stored length and no checksum. It is a flat sequence of tokens:
//
//   literal run  1nnnnnnn nnnnnnnn  <n literal bytes>  [filler byte]
//   match        0ppppppp pppppppp  xlllllll llllllll
//
// Numbers are 15 bits, big-endian. A match copies `len` bytes starting at the absolute 1-based
// position `p` of the restored data (not a distance back). A literal run that is followed by a
// match carries one filler byte after its literal bytes; readers step over it unread, so a
// literal run always occupies n + 3 bytes of the stream, and the step past the final run (which
// has no filler) simply moves past the end of the stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lzc {

// Largest source the format can describe: positions and lengths are 15-bit fields.
inline constexpr std::int32_t kMaxSourceSize = 0x7FFF;

inline constexpr std::uint8_t kLiteralFlag = 0x80;
inline constexpr std::size_t kLiteralHeaderSize = 2;
inline constexpr std::size_t kMatchTokenSize = 4;
// What a literal run occupies in the stream beyond its literal bytes: header plus filler slot.
inline constexpr std::size_t kLiteralOverhead = kLiteralHeaderSize + 1;

struct LzcToken {
    enum class Kind { literal, match };
    Kind kind = Kind::literal;
    // Literal run: the number of literal bytes n. Match: the number of bytes to copy.
    std::int32_t length = 0;
    // Match: 1-based position of the first byte to copy. Literal run: unused (0).
    std::int32_t position = 0;
    // Index in the stream of the first literal byte (literal runs only).
    std::size_t literalStart = 0;
    // Index in the stream where the next token starts (past the filler slot for literal runs).
    std::size_t next = 0;
};

enum class TokenRead {
    ok,
    truncated,  // the token's fixed fields or its literal bytes run past the end of the stream
};

// Reads the token that starts at `offset` (0-based, below stream.size()). A literal run is
// complete when its literal bytes are present; its filler byte may be missing at the end.
// The high bit of a match's third byte is ignored.
TokenRead readToken(std::span<const std::uint8_t> stream, std::size_t offset, LzcToken& token);

// Appends the two header bytes of a literal run of n bytes (1 ... kMaxSourceSize).
void appendLiteralHeader(std::vector<std::uint8_t>& out, std::int32_t n);

// Appends a 4-byte match token. The third byte is written as (len >> 8) & 0xFF.
void appendMatch(std::vector<std::uint8_t>& out, std::int32_t position, std::int32_t length);

}  // namespace lzc
