// The quick path of the match finder: chains of earlier positions that start with the same
// 4 bytes, walked exactly, under a budget of links. Positions are 0-based offsets.
//
// Algorithm. A match the compressor acts on has 4 bytes or more, so its candidates start with
// the same 4 bytes as `position`. link_[p] is the previous position whose first 4 bytes hash as
// p's do. walkFrom() follows link_ down to `first`, newest first, counts the bytes each
// candidate shares with `position`, skips hash collisions, and takes a candidate at least as
// long as `best`: that leaves the lowest position among the longest, as FindMatch does.
//
// Once best.length reaches kLongKeys[level], only a candidate sharing that many bytes with
// best.position can replace best, so the walk may go on from there along longLink_[level],
// which links positions whose first kLongKeys[level] bytes hash alike: far shorter chains on
// repetitive data. Each costs a pass over the source, so a key's chain is built only once walks
// have passed a quarter of the source's length in links that it would have skipped (counted
// every kSwitchCheck links of a walk whose best reaches the key). Once some chains are built,
// walkDown() starts a search at the longest built key that a candidate in the window truly
// shares with `position` (every candidate that long lies on that key's chain, and no other can
// be longer), found by a probe or two down each longer key's chain, instead of climbing there
// from the 4-byte chain.
//
// Runs: only the first position of a run of one byte is linked; runEnd_ records its end.
// walkRuns() weighs a candidate run [c, end) at once: with runLeft bytes of the run left at
// `position`, a candidate y in it shares min(end - y, runLeft) bytes, and more only at
// y = end - runLeft. So a run's best is end - runLeft or its lowest position in the window.
//
// Ties of 4 and 5 bytes: where many candidates share exactly 4 or 5 bytes with `position` (as
// the starts of records with a fixed head do), FindMatch's answer is the oldest of them in the
// window, which a walk newest first reaches only at its chain's end. Once searches of 32 links
// or more answered with fewer than 6 bytes have walked as many links as the source has bytes
// (and 4096 more), or when the budget first runs out, buildExact() sorts the positions by their
// exact first 5 bytes (sorted5_, ranks rank5_) and by their exact first 4 (sorted4_, rank4_),
// position order within each key. findExact() then takes the longest level with a candidate in
// the window: 6 bytes or more, the walk along the 6-byte key's chain (kept only if it finds 6
// bytes); else 5, else 4 (never more than maxLength), where every candidate of that key in the
// window ties, so the answer is the oldest, found by galloping down the sorted key from
// position's rank: about 2 log2(candidates) probes, each counted as a link.
//
// Budget: linksUsed_ may not pass linkBudget_ (a search's own allowance, or what the bytes
// passed allow in all). When the exact keys are sorted, the allowance in all starts anew,
// counted from there; if the budget running out is what sorts them, that search starts again.
// Once they are sorted, the budget running out makes find() give up for good, and the match
// finder hands the rest of the source to the suffix-array index, whose cost is bounded whatever
// the input. Both answer exactly, so the hand-over may come at any position, even in the middle
// of a search.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "shared_prefix.h"

namespace lzc {

class ChainSearch {
public:
    // Links in all, per byte passed plus at start, and for any one search. Links of long
    // searches answered with fewer than 6 bytes, per source byte plus at start, after which the
    // exact keys are sorted. Whether a long key's chain is built as soon as a walk reaches it, and
    // whether the exact keys are sorted from the start.
    struct Allowance {
        std::int64_t perByte, atStart, perSearch, tiesPerByte, tiesAtStart;
        bool longFromStart, exactFromStart;
    };
    static constexpr Allowance kDefault{12, 16384, 4096, 1, 4096, false, false};
    // For tests: no limit, long and exact keys from the start; or a hand-over after a few
    // hundred links, long keys from the start and the exact keys after 128 links of short ties.
    static constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max() / 2;
    static constexpr Allowance kUnlimited{0, kNoLimit, kNoLimit, 0, kNoLimit, true, true};
    static constexpr Allowance kTiny{1, 256, 64, 0, 128, true, false};

    // Bytes of memory that build() needs for a source of `length` bytes.
    static std::size_t memoryNeeded(std::int32_t length);

    // Links `text` (1 ... 32767 bytes), which must stay as it is while find() is used, in
    // `memory` (memoryNeeded() bytes at least, kept by the caller; the tables are created there,
    // ending whatever lay there before).
    void build(std::span<const std::uint8_t> text, std::span<std::byte> memory,
               Allowance allowance);

    // Sets `best` to FindMatch's answer for `position` over the candidates first ...
    // position - 1, at most maxLength (4 or more) bytes, whenever that length is 4 or more;
    // otherwise leaves it or sets a shorter length. Returns false, leaving it, once the budget
    // is spent; from then on always false.
    bool find(std::int32_t first, std::int32_t position, std::int32_t maxLength,
              detail::Match& best) {
        // The common case, decided here: no earlier position in the window shares the hash,
        // and position starts no run of one byte (whose candidates its own link leads to).
        const std::uint16_t c = link_[position];
        if (!spent_ && (c == kNone || c < first) &&
            !isRun(detail::load<std::uint32_t>(text_ + position))) {
            return true;
        }
        return walk(first, position, maxLength, best);
    }

    // Links followed since build().
    std::int64_t linksUsed() const { return linksUsed_; }

private:
    static constexpr std::uint16_t kNone = 0xFFFF;
    static bool isRun(std::uint32_t fourBytes) {  // four equal bytes: a position inside a run
        return ((fourBytes ^ (fourBytes >> 8)) & 0xFFFFFF) == 0;
    }
    bool walk(std::int32_t first, std::int32_t position, std::int32_t maxLength,
              detail::Match& best);
    bool walkRuns(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                  detail::Match& best);
    bool walkDown(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                  detail::Match& best);
    bool walkFrom(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                  std::uint16_t c, std::size_t level, detail::Match& best);
    std::size_t levelFor(std::size_t level, std::int32_t length, std::int64_t passed);
    void buildLevel(std::size_t level);
    void buildExact();
    bool findExact(std::int32_t first, std::int32_t position, std::int32_t maxLength,
                   detail::Match& best);
    template <std::int32_t kKey>
    bool oldestTie(const std::uint16_t* sorted, const std::uint16_t* rank, std::int32_t first,
                   std::int32_t position, std::int32_t& found);
    template <std::int32_t kKey>
    bool sameKey(std::int32_t a, std::int32_t b) const {
        return detail::load<std::uint32_t>(text_ + a) == detail::load<std::uint32_t>(text_ + b) &&
               (kKey == 4 || text_[a + 4] == text_[b + 4]);
    }
    template <bool kMain>
    void chain(std::uint16_t* links, std::int32_t keyLength);
    bool spend() {  // one link more, or true (and spent_) if that passes the budget
        if (linksUsed_ >= linkBudget_) {
            return spent_ = true;
        }
        ++linksUsed_;
        return false;
    }

    static constexpr std::array<std::int32_t, 7> kLongKeys = {6, 8, 9, 12, 16, 32, 64};
    static constexpr std::int32_t kSwitchCheck = 32;

    const std::uint8_t* text_ = nullptr;
    std::int32_t length_ = 0;
    int hashBits_ = 8;
    std::uint16_t* head_ = nullptr;
    std::uint16_t* link_ = nullptr;
    std::uint16_t* runEnd_ = nullptr;
    std::uint16_t* longLinkSpace_ = nullptr;                   // length_ entries for each long key
    std::array<std::uint16_t*, kLongKeys.size()> longLink_{};  // null until built
    // The exact keys, for positions 0 ... keyed_ - 1 (those with 6 bytes ahead); scratch_ is two
    // arrays for sorting them, in the chain heads.
    std::uint16_t* sorted4_ = nullptr;
    std::uint16_t* rank4_ = nullptr;
    std::uint16_t* sorted5_ = nullptr;
    std::uint16_t* rank5_ = nullptr;
    std::array<std::uint16_t*, 2> scratch_{};
    std::int32_t keyed_ = 0;
    std::int64_t linksBeforeExact_ = 0;  // links used when the exact keys were sorted
    bool exact_ = false;
    Allowance allowance_ = kDefault;
    std::int64_t linksUsed_ = 0;
    std::int64_t linkBudget_ = 0;  // links allowed up to the current search
    bool spent_ = false;
    std::array<std::int64_t, kLongKeys.size()> overdue_{};  // links towards building each chain
    std::int64_t buildAfter_ = 0;  // links overdue at which a chain is built
    bool anyBuilt_ = false;        // whether any long key's chain is
    std::int64_t shortTies_ = 0;   // links of long searches answered with fewer than 6 bytes
};

}  // namespace lzc
