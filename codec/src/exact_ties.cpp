// The chain walk's exact keys for ties of 4 and 5 bytes: their sort, and the search that
// gallops down them (see "Ties of 4 and 5 bytes" in chain_search.h).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "chain_search.h"

namespace lzc {

// Sorts the positions with 6 bytes ahead by their first 5 bytes (a byte at a time, the last
// first, stable), then by their first 4 (the 4-byte keys occupy the same ranks in both orders:
// each position goes, in position order, to the next free place of its key's range), both in
// position order within a key; and builds the 6-byte key's chain, which findExact() walks.
void ChainSearch::buildExact() {
    exact_ = true;
    keyed_ = std::max(length_ - 5, 0);
    const auto m = static_cast<std::size_t>(keyed_);
    if (m == 0) {
        return;
    }
    buildLevel(1);
    // Byte j of the keys runs over text_[j ... j + m): the whole text's counts, less the bytes
    // outside that range.
    std::array<std::uint32_t, 256> counts{};
    for (std::int32_t i = 0; i < length_; ++i) {
        ++counts[text_[i]];
    }
    std::uint16_t* from = scratch_[0];
    std::uint16_t* to = sorted5_;
    for (std::int32_t byte = 4; byte >= 0; --byte) {
        std::array<std::uint32_t, 257> next{};
        std::copy(counts.begin(), counts.end(), next.begin() + 1);
        for (std::int32_t i = 0; i < byte; ++i) {
            --next[text_[i] + 1];
        }
        for (std::int32_t i = byte + keyed_; i < length_; ++i) {
            --next[text_[i] + 1];
        }
        for (std::size_t b = 1; b < next.size(); ++b) {
            next[b] += next[b - 1];
        }
        for (std::size_t i = 0; i < m; ++i) {
            const std::uint16_t p = byte == 4 ? static_cast<std::uint16_t>(i) : from[i];
            to[next[text_[p + byte]]++] = p;
        }
        std::swap(from, to);
    }
    // Five passes: the last wrote sorted5_ (now `from`).
    std::uint16_t* const keyStart = scratch_[0];  // per position, where its 4-byte key starts
    std::uint16_t* const nextFree = scratch_[1];  // per key start, the next place of that key
    for (std::size_t i = 0; i < m; ++i) {
        const std::uint16_t p = sorted5_[i];
        rank5_[p] = static_cast<std::uint16_t>(i);
        const std::size_t start =
            i > 0 && sameKey<4>(p, sorted5_[i - 1]) ? keyStart[sorted5_[i - 1]] : i;
        keyStart[p] = static_cast<std::uint16_t>(start);
        if (start == i) {
            nextFree[i] = static_cast<std::uint16_t>(i);
        }
    }
    for (std::size_t p = 0; p < m; ++p) {
        const std::uint16_t i = nextFree[keyStart[p]]++;
        sorted4_[i] = static_cast<std::uint16_t>(p);
        rank4_[p] = i;
    }
}

// Sets `found` to the oldest position in the window that shares position's kKey-byte key, or
// to -1 if none does. False once the budget is spent.
template <std::int32_t kKey>
bool ChainSearch::oldestTie(const std::uint16_t* const sorted, const std::uint16_t* const rank,
                            std::int32_t first, std::int32_t position, std::int32_t& found) {
    found = -1;
    const std::int32_t r = rank[position];
    const auto ties = [&](std::int32_t i) {  // the places below r that hold a tie in the window
        return i >= 0 && sameKey<kKey>(sorted[i], position) && sorted[i] >= first;
    };
    if (spend()) {
        return false;
    }
    if (!ties(r - 1)) {
        return true;
    }
    // Gallop down while the places hold ties, then halve the gap: `low` never does, `high` does.
    std::int32_t high = r - 1;
    std::int32_t low = high;
    for (std::int32_t step = 1;; step *= 2) {
        if (spend()) {
            return false;
        }
        low = high - step;
        if (!ties(low)) {
            break;
        }
        high = low;
    }
    while (high - low > 1) {
        if (spend()) {
            return false;
        }
        const std::int32_t middle = low + (high - low) / 2;
        (ties(middle) ? high : low) = middle;
    }
    found = sorted[high];
    return true;
}

// The longest level with a candidate in the window: 6 bytes or more along the 6-byte key's
// chain, else every candidate of the 5-byte key ties (or of the 4-byte key, if no 5-byte key
// is in the window or maxLength is 4), and the oldest of them is FindMatch's answer.
bool ChainSearch::findExact(std::int32_t first, std::int32_t position, std::int32_t maxLength,
                            detail::Match& best) {
    if (maxLength >= kLongKeys[0]) {
        detail::Match longest;
        if (!walkFrom(position, first, maxLength, longLink_[0][position], 1, longest)) {
            return false;
        }
        if (longest.length >= kLongKeys[0]) {
            best = longest;
            return true;
        }
    }
    std::int32_t found = -1;
    if (maxLength >= 5) {
        if (!oldestTie<5>(sorted5_, rank5_, first, position, found)) {
            return false;
        }
        if (found >= 0) {
            best = {5, found};
            return true;
        }
    }
    if (!oldestTie<4>(sorted4_, rank4_, first, position, found)) {
        return false;
    }
    if (found >= 0) {
        best = {4, found};
    }
    return true;
}

}  // namespace lzc
