#include "lzc/format.h"

#include <cassert>

namespace lzc {

TokenRead readToken(std::span<const std::uint8_t> stream, std::size_t offset, LzcToken& token) {
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

void appendLiteralHeader(std::vector<std::uint8_t>& out, std::int32_t n) {
    assert(n >= 1 && n <= kMaxSourceSize);
    out.push_back(static_cast<std::uint8_t>(kLiteralFlag | ((n >> 8) & 0x7F)));
    out.push_back(static_cast<std::uint8_t>(n & 0xFF));
}

void appendMatch(std::vector<std::uint8_t>& out, std::int32_t position, std::int32_t length) {
    assert(position >= 1 && position <= kMaxSourceSize);
    assert(length >= 1 && length <= kMaxSourceSize);
    out.push_back(static_cast<std::uint8_t>((position >> 8) & 0x7F));
    out.push_back(static_cast<std::uint8_t>(position & 0xFF));
    out.push_back(static_cast<std::uint8_t>((length >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
}

}  // namespace lzc
