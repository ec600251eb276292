// How many bytes two places in a buffer agree on, 8 bytes at a time, and what a search finds.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace lzc::detail {

// A search's answer: `length` bytes from `position`, a 0-based offset.
struct Match {
    std::int32_t length = 0, position = 0;
};

// sizeof(T) bytes from p, in the machine's byte order: for comparing, hashing, finding runs.
template <class T>
T load(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The index of the first byte in which two 8-byte loads differ (diff = their xor, not 0).
inline std::int32_t firstDifferingByte(std::uint64_t diff) {
    const int bits = std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                : std::countl_zero(diff);
    return bits / 8;
}

// The number of leading bytes text[a ...] and text[b ...] share, at most `limit`; reads no
// byte at or beyond text[max(a, b) + limit].
inline std::int32_t sharedPrefix(const std::uint8_t* text, std::int32_t a, std::int32_t b,
                                 std::int32_t limit) {
    std::int32_t shared = 0;
    while (shared + 8 <= limit) {
        const auto diff =
            load<std::uint64_t>(text + a + shared) ^ load<std::uint64_t>(text + b + shared);
        if (diff != 0) {
            return shared + firstDifferingByte(diff);
        }
        shared += 8;
    }
    while (shared < limit && text[a + shared] == text[b + shared]) {
        ++shared;
    }
    return shared;
}

}  // namespace lzc::detail
