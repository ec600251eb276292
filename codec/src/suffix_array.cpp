// Induced sorting (SA-IS): every suffix is S-type (smaller than the suffix one position later) or
// L-type (larger); the last one is L-type, since the virtual end marker after it is smaller than
// every symbol. An S-type suffix right after an L-type one is a leftmost-S suffix. Once the
// leftmost-S suffixes are in order, one left-to-right pass places every L-type suffix (each right
// after the suffix one position later, which is smaller and so already placed) and one
// right-to-left pass every S-type suffix. The leftmost-S suffixes are put in order by first sorting
// the substrings between them with the same two passes, naming equal substrings alike, and sorting
// the suffixes of the string of names, a third of the length or less, the same way.
#include "suffix_array.h"

#include <algorithm>
#include <cassert>
#include <vector>

#include "array_carver.h"

namespace lzc::detail {
namespace {

constexpr std::uint8_t kSType = 1;
constexpr std::uint8_t kLeftmostS = 2;

// Sorts the suffixes of s[0, n) (symbols below k) into sa[0, n). `types` holds n bytes for
// this level and what deeper levels need after them; `leftmost` likewise. With `outSa` and
// `outRank` (the top level), the last pass also writes the order there as 16-bit words.
template <class Symbol>
void sortLevel(const Symbol* s, std::int32_t n, std::int32_t k, std::int32_t* sa,
               std::uint8_t* types, std::int32_t* leftmost, std::uint16_t* outSa = nullptr,
               std::uint16_t* outRank = nullptr) {
    // bounds[c] is where the bucket of symbol c starts; bounds[k] == n.
    std::vector<std::int32_t> bounds(static_cast<std::size_t>(k) + 1, 0);
    std::vector<std::int32_t> heads(static_cast<std::size_t>(k));

    // Classify right to left and list the leftmost-S positions.
    std::uint32_t nextIsS = 0;
    std::int32_t m = 0;
    ++bounds[static_cast<std::size_t>(s[n - 1]) + 1];
    for (std::int32_t i = n - 2; i >= 0; --i) {
        const auto a = static_cast<std::uint32_t>(s[i]);
        const auto b = static_cast<std::uint32_t>(s[i + 1]);
        const std::uint32_t isS =
            static_cast<std::uint32_t>(a < b) | ((a == b ? 1U : 0U) & nextIsS);
        const std::uint32_t nextIsLeftmost = (isS ^ 1U) & nextIsS;
        types[i + 1] = static_cast<std::uint8_t>(nextIsS | (nextIsLeftmost << 1));
        leftmost[m] = i + 1;
        m += static_cast<std::int32_t>(nextIsLeftmost);
        nextIsS = isS;
        ++bounds[a + 1];
    }
    types[0] = static_cast<std::uint8_t>(nextIsS);
    std::reverse(leftmost, leftmost + m);
    for (std::int32_t c = 0; c < k; ++c) {
        bounds[static_cast<std::size_t>(c) + 1] += bounds[static_cast<std::size_t>(c)];
    }
    const std::int32_t* const start = bounds.data();
    std::int32_t* const head = heads.data();
    const auto bucketOf = [s](std::int32_t i) { return static_cast<std::size_t>(s[i]); };

    // From the leftmost-S suffixes in place at their bucket ends, place all the others. The
    // right-to-left pass only places suffixes left of where it reads, so what it reads is final.
    const auto induce = [&]<bool kWriteOut = false> {
        std::copy(start, start + k, head);
        sa[head[bucketOf(n - 1)]++] = n - 1;  // the suffix right before the end marker
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t v = sa[i];
            if (v > 0 && (types[v - 1] & kSType) == 0) {
                sa[head[bucketOf(v - 1)]++] = v - 1;
            }
        }
        std::copy(start + 1, start + k + 1, head);
        for (std::int32_t i = n - 1; i >= 0; --i) {
            const std::int32_t v = sa[i];
            if (v > 0 && (types[v - 1] & kSType) != 0) {
                sa[--head[bucketOf(v - 1)]] = v - 1;
            }
            if constexpr (kWriteOut) {
                outSa[i] = static_cast<std::uint16_t>(v);
                outRank[v] = static_cast<std::uint16_t>(i);
            }
        }
    };
    const auto finish = [&] {
        if (outSa != nullptr) {
            induce.template operator()<true>();
        } else {
            induce();
        }
    };

    std::fill(sa, sa + n, -1);
    if (m == 0) {
        finish();
        return;
    }

    // Sort the substrings that run from one leftmost-S position to the next (both included).
    std::copy(start + 1, start + k + 1, head);
    for (std::int32_t i = m - 1; i >= 0; --i) {
        const std::int32_t p = leftmost[i];
        sa[--head[bucketOf(p)]] = p;
    }
    induce();
    std::int32_t sorted = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t v = sa[i];
        sa[sorted] = v;
        sorted += types[v] / kLeftmostS;
    }
    assert(sorted == m);

    // Name them: equal substrings get equal names, and names follow the sorted order. The name
    // of the substring at p goes to slot m + p / 2 (leftmost-S positions are 2 or more apart).
    std::int32_t* const slot = sa + m;
    for (std::int32_t i = 0; i < m; ++i) {
        const std::int32_t p = leftmost[i];
        const std::int32_t next = i + 1 < m ? leftmost[i + 1] : n;
        slot[p >> 1] = next - p + 1;  // its length; the last one runs into the end marker
    }
    std::int32_t names = 0, previous = 0, previousLength = 0;
    for (std::int32_t i = 0; i < m; ++i) {
        const std::int32_t p = sa[i];
        const std::int32_t length = slot[p >> 1];
        if (length != previousLength || p + length > n || previous + length > n ||
            std::mismatch(s + p, s + p + length, s + previous).first != s + p + length) {
            ++names;
            previous = p;
            previousLength = length;
        }
        slot[p >> 1] = names - 1;
    }

    // The string of names in text order, at the top of sa (it starts beyond slot m: m < n / 2).
    std::int32_t* const reduced = sa + n - m;
    for (std::int32_t i = m - 1; i >= 0; --i) {
        reduced[i] = slot[leftmost[i] >> 1];
    }
    if (names < m) {
        sortLevel(reduced, m, names, sa, types + n, leftmost + m);
    } else {
        for (std::int32_t i = 0; i < m; ++i) {
            sa[reduced[i]] = i;
        }
    }

    // Leftmost-S suffixes in order, at the ends of their buckets, then everything else.
    for (std::int32_t i = 0; i < m; ++i) {
        sa[i] = leftmost[sa[i]];
    }
    std::fill(sa + m, sa + n, -1);
    std::copy(start + 1, start + k + 1, head);
    for (std::int32_t i = m - 1; i >= 0; --i) {
        const std::int32_t p = sa[i];
        sa[i] = -1;
        sa[--head[bucketOf(p)]] = p;
    }
    finish();
}

// Entries of each scratch array: at least length + 2, a multiple of 4, so that each array starts
// on 8 bytes.
std::size_t scratchUnit(std::size_t length) {
    return (length + 2 + 3) / 4 * 4;
}

}  // namespace

// `induced` (int32), then `types` (a byte per symbol on each level, fewer than 2 length in all),
// then `leftmost` (int32; fewer than length in all).
std::size_t suffixSortScratch(std::size_t length) {
    const std::size_t unit = scratchUnit(length);
    return unit * sizeof(std::int32_t) + 2 * unit * sizeof(std::uint8_t) +
           unit * sizeof(std::int32_t);
}

void sortSuffixes(std::span<const std::uint8_t> text, std::uint16_t* sa, std::uint16_t* rank,
                  std::span<std::byte> scratch) {
    const auto n = static_cast<std::int32_t>(text.size());
    assert(n >= 1 && n <= 0x7FFF && scratch.size() >= suffixSortScratch(text.size()));
    const std::size_t unit = scratchUnit(text.size());
    ArrayCarver carve(scratch);
    auto* const induced = carve.take<std::int32_t>(unit);
    auto* const types = carve.take<std::uint8_t>(2 * unit);
    auto* const leftmost = carve.take<std::int32_t>(unit);
    sortLevel(text.data(), n, 256, induced, types, leftmost, sa, rank);
}

}  // namespace lzc::detail
