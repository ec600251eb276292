// The quick path of the indexed search: chains of earlier positions that start with the same
// 4 bytes, walked exactly, under a work allowance.
//
// Algorithm. A match the compressor acts on is 4 bytes or longer, so its candidates are the
// earlier positions whose first 4 bytes equal those at cur. Each position is linked to the
// previous one with the same hash of its first 4 bytes; a search walks these links from cur
// down to searchStart, newest first, counts how many bytes each candidate shares with cur, up
// to the last source byte less one (FindMatch counts a candidate that agrees through the last
// byte one short), skips those that share fewer than 4 (hash collisions), and keeps a candidate
// when it is at least as long as the best so far: walking down, that leaves the lowest position
// among the longest, as FindMatch does.
//
// Nothing is skipped that could win. Once the best reaches, say, 8 bytes, a candidate further down
// can replace it only by sharing at least those 8 bytes with cur, hence with the best one; so
// the walk may go on from the best candidate along a chain that links positions whose first 8
// bytes hash alike, and likewise from 6, 16, 32 and 128 bytes on. On repetitive data these
// chains are far shorter. They cost a pass over the source each, so they are built only once the
// walks have grown long, and each only when a search first reaches its length.
//
// Runs of one byte: every position inside a run starts with the same 4 bytes, so only the
// first position of a run is linked and a run is weighed as a whole. With rx bytes of the run
// left at cur and a candidate run [s, e), a candidate y in it agrees for min(e - y, rx) bytes,
// and for more only at y = e - rx, where both runs end together and the bytes after them are
// compared. So the best of a run is either y = e - rx (when the bytes after both runs agree) or
// its lowest position in the window. Candidates in cur's own run agree for exactly rx bytes.
// A best candidate that agrees beyond the runs may hand the rest of the walk to a long key
// chain, as above, when the key reaches past cur's run (otherwise that chain holds every
// position inside the runs).
//
// The walk counts the links it follows. Where the chains grow long (short periods, small
// alphabets, crafted data) it would be slow, so when the count passes the allowance, a few
// links per source byte, the walk gives up and the caller hands the search to the suffix-array
// index (lzc/match_index.h), whose cost is bounded whatever the input. Both give the same
// answers, so the hand-over can happen at any position.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "find_match.h"

namespace lzc {

class ChainSearch {
public:
    // How many links the searches may follow in all: perByte for each source byte passed, plus
    // atStart. At the default rate a link costs about as much as the suffix-array index costs
    // per byte divided by the rate, so giving up then keeps the total within about twice what
    // the index alone would take. The long-key chains come into use once the links followed
    // pass longPerByte per byte plus longAtStart.
    struct Allowance {
        std::int64_t perByte;
        std::int64_t atStart;
        std::int64_t longPerByte;
        std::int64_t longAtStart;
    };
    static constexpr Allowance kDefault{12, 16384, 4, 4096};
    // For tests: no limit, or a hand-over after a few hundred links; long keys from the start.
    static constexpr Allowance kUnlimited{0, std::numeric_limits<std::int64_t>::max(), 0, 0};
    static constexpr Allowance kTiny{1, 256, 0, 0};

    // Links state.buffer[1 ... state.inputLength], which must stay as it is while find() is
    // used. Keeps its memory from one build to the next.
    void build(const CodecState& state, Allowance allowance = kDefault);

    // Like MatchIndex::find: sets state.matchLength and state.matchPosition to FindMatch's
    // values whenever that length is at least minLength (4 or more), otherwise to a length
    // below minLength and position 0. Returns false, leaving the match unset, once the walks
    // have used up their allowance; from then on every call returns false.
    bool find(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd, std::int32_t cur,
              std::int32_t minLength);

private:
    struct Best {
        std::int32_t length = 0;
        std::int32_t position = 0;
    };
    std::uint32_t firstFourBytes(std::int32_t position) const;
    std::int32_t sharedLength(std::int32_t a, std::int32_t b, std::int32_t limit) const;
    bool walkChain(std::int32_t position, std::int32_t first, std::int32_t limit, Best& best);
    bool walkRuns(std::int32_t position, std::int32_t first, std::int32_t limit, Best& best);
    bool walkFrom(std::int32_t position, std::int32_t first, std::int32_t limit, std::uint16_t c,
                  std::size_t level, std::int64_t& left, Best& best);
    std::size_t longLevelFor(std::int32_t length);
    void buildLongLevel(std::size_t level);

    static constexpr std::array<std::int32_t, 5> kLongKeys = {6, 8, 16, 32, 128};
    static constexpr std::int32_t kSwitchCheck = 32;

    const std::uint8_t* text_ = nullptr;  // the source, 0-based
    std::int32_t length_ = 0;
    int hashShift_ = 17;
    std::vector<std::uint16_t> head_;    // latest linked position per hash
    std::vector<std::uint16_t> link_;    // link_[p]: the linked position before p, same hash
    std::vector<std::uint16_t> runEnd_;  // for the first position of a run: where it ends
    // Per long key length: the linked position before p whose first bytes hash alike.
    std::array<std::vector<std::uint16_t>, kLongKeys.size()> longLink_;
    Allowance allowance_ = kDefault;
    std::int64_t links_ = 0;
    std::int64_t limit_ = 0;  // links allowed up to the current search
    bool exhausted_ = false;
    bool longChains_ = false;
};

}  // namespace lzc
