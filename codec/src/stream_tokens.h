// Reading and writing single tokens of a stream (layout in lzc/format.h). A literal run always
// occupies n + 3 bytes of the stream, filler slot included, so the step past the final run (which
// has no filler) simply moves past the end of the stream.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lzc/format.h"

namespace lzc {

inline constexpr std::uint8_t kLiteralFlag = 0x80;
inline constexpr std::size_t kLiteralHeaderSize = 2;
inline constexpr std::size_t kMatchTokenSize = 4;

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
// Inline: the decoder calls it once per token.
inline TokenRead readToken(std::span<const std::uint8_t> stream, std::size_t offset,
                           LzcToken& token) {
    assert(offset < stream.size());
    const std::size_t available = stream.size() - offset;
    const std::uint8_t first = stream[offset];

    if ((first & kLiteralFlag) != 0) {
        if (available < kLiteralHeaderSize) {
            return TokenRead::truncated;
        }
        const std::int32_t n = ((first & 0x7F) << 8) | stream[offset + 1];
        const std::size_t literalStart = offset + kLiteralHeaderSize;
        if (stream.size() - literalStart < static_cast<std::size_t>(n)) {
            return TokenRead::truncated;
        }
        token = LzcToken{LzcToken::Kind::literal, n, 0, literalStart,
                         literalStart + static_cast<std::size_t>(n) + 1};
        return TokenRead::ok;
    }

    if (available < kMatchTokenSize) {
        return TokenRead::truncated;
    }
    const std::int32_t position = ((first & 0x7F) << 8) | stream[offset + 1];
    // Only the low 7 bits of the third byte count: the writer may leave the high bit set.
    const std::int32_t length = ((stream[offset + 2] & 0x7F) << 8) | stream[offset + 3];
    token = LzcToken{LzcToken::Kind::match, length, position, 0, offset + kMatchTokenSize};
    return TokenRead::ok;
}

// Appends the two header bytes of a literal run of n bytes (1 ... kMaxSourceSize).
void appendLiteralHeader(std::vector<std::uint8_t>& out, std::int32_t n);

// Appends a 4-byte match token. The third byte is written as (len >> 8) & 0xFF.
void appendMatch(std::vector<std::uint8_t>& out, std::int32_t position, std::int32_t length);

}  // namespace lzc
