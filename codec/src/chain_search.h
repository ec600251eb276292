// The quick path of the match finder: chains of earlier positions that start with the same
// 4 bytes, walked exactly, under a budget of links.
//
// Positions here are 0-based offsets into the source; find() takes the compressor's 1-based
// searchStart and cur and reports a 1-based match position, and converts nowhere else. At cur
// the candidates are first = searchStart - 1 ... position - 1, where position = cur - 1, and a
// match may have at most maxLength = length_ - cur bytes (FindMatch counts a candidate that
// agrees through the last source byte one short).
//
// Algorithm. A match the compressor acts on has 4 bytes or more, so its candidates start with
// the same 4 bytes as `position`. link_[p] is the previous position whose first 4 bytes hash as
// p's do (head_ holds the latest of each hash while they are linked). walkFrom() follows link_
// from `position` down to `first`, newest first, counts the bytes each candidate shares with
// `position` (at most maxLength), skips those sharing fewer than 4 (hash collisions), and keeps
// a candidate when it is at least as long as `best`: walking down, that leaves the lowest
// position among the longest, as FindMatch does.
//
// Once best.length reaches one of kLongKeys (6, 8, 16, 32, 128), a candidate further down can
// replace best only by sharing at least that many bytes with `position`, hence with
// best.position; so the walk may go on from best.position along longLink_[level], which links
// positions whose first kLongKeys[level] bytes hash alike. On repetitive data these chains are
// far shorter. Each costs a pass over the source, so they come into use only once the walks
// have followed many links (Allowance::longPerByte), and each is built when first needed.
//
// Runs: inside a run of one byte every position starts with the same 4 bytes, so only a run's
// first position is linked, and runEnd_[start] records where the run ends. walkRuns() weighs a
// whole candidate run [c, end) at once: with runLeft bytes of the run left at `position`, a
// candidate y in it shares min(end - y, runLeft) bytes, and more only at y = end - runLeft,
// where both runs end together and the bytes after them are compared. So the best of a run is
// either end - runLeft or its lowest position in the window.
//
// Budget: linksUsed_ counts the links followed. When it passes linkBudget_ (Allowance::perByte
// links per source byte passed, plus atStart), find() gives up for good, and the match finder
// hands the rest of the source to the suffix-array index, whose cost is bounded whatever the
// input. Both give the same answers, so the hand-over may happen at any position.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace lzc {

class ChainSearch {
public:
    struct Allowance {
        std::int64_t perByte;      // links per source byte passed ...
        std::int64_t atStart;      // ... plus these, before find() gives up
        std::int64_t longPerByte;  // the long-key chains come into use past these many links
        std::int64_t longAtStart;
    };
    static constexpr Allowance kDefault{12, 16384, 4, 4096};
    // For tests: no limit, or a hand-over after a few hundred links; long keys from the start.
    static constexpr Allowance kUnlimited{0, std::numeric_limits<std::int64_t>::max(), 0, 0};
    static constexpr Allowance kTiny{1, 256, 0, 0};

    // 16-bit words of memory that build() needs for a source of `length` bytes.
    static std::size_t memoryNeeded(std::int32_t length);

    // Links `text` (1 ... 32767 bytes), which must stay as it is while find() is used, in
    // `memory` (memoryNeeded() words at least, kept by the caller).
    void build(std::span<const std::uint8_t> text, std::span<std::uint16_t> memory,
               Allowance allowance);

    // Sets matchLength and matchPosition (1-based) to FindMatch's answer whenever that length
    // is at least minLength (4 or more), otherwise to a length below minLength and position 0.
    // Returns false, leaving them unset, once the budget is spent; from then on always false.
    bool find(std::int32_t searchStart, std::int32_t cur, std::int32_t minLength,
              std::int32_t& matchLength, std::int32_t& matchPosition);

private:
    struct Best {
        std::int32_t length = 0;
        std::int32_t position = 0;
    };
    std::uint32_t firstFourBytes(std::int32_t p) const;
    bool walkRuns(std::int32_t position, std::int32_t first, std::int32_t maxLength, Best& best);
    bool walkFrom(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                  std::uint16_t c, std::size_t level, Best& best);
    std::size_t longLevelFor(std::int32_t length);
    void buildLongLevel(std::size_t level);

    static constexpr std::array<std::int32_t, 5> kLongKeys = {6, 8, 16, 32, 128};
    static constexpr std::int32_t kSwitchCheck = 32;

    const std::uint8_t* text_ = nullptr;
    std::int32_t length_ = 0;
    int hashBits_ = 14;
    std::uint16_t* head_ = nullptr;
    std::uint16_t* link_ = nullptr;
    std::uint16_t* runEnd_ = nullptr;
    std::array<std::uint16_t*, kLongKeys.size()> longLink_{};
    std::array<bool, kLongKeys.size()> longBuilt_{};
    Allowance allowance_ = kDefault;
    std::int64_t linksUsed_ = 0;
    std::int64_t linkBudget_ = 0;  // links allowed up to the current search
    bool spent_ = false;
    bool longChains_ = false;
};

}  // namespace lzc
