#include "stream_tokens.h"

#include <cassert>

namespace lzc {

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
