// The suffix-array index: the same answers as FindMatch wherever the compressor looks at them,
// built in linear time and answering each search in logarithmic time, whatever the input.
// Positions are 0-based offsets into the source, as in the chain walk (chain_search.h); find()
// converts the compressor's 1-based positions at its boundary.
//
// Algorithm. The index sorts all suffixes of the source (the suffix array, by induced sorting),
// counts how many bytes each suffix shares with its neighbour in that order (the LCP array, in
// Kasai's order), and builds the tree of shared-prefix intervals over it in one pass: a node is
// a maximal run of neighbouring suffixes that all share at least `depth` bytes, and it records
// the lowest source position in its run. Comparing whole suffixes is what lets a candidate run
// into the bytes at cur and beyond, exactly as FindMatch's byte loop does.
//
// A search at cur considers the candidates FindMatch considers, positions searchStart ... cur -
// 1, kept as a set of suffix-order ranks that grows at its top and shrinks at its bottom as
// the compressor moves on. It answers in two steps.
//
// 1. The longest length. The shared length of two suffixes is the minimum over the neighbour
//    pairs between them in suffix order, so the candidates sharing the most bytes with suffix
//    cur include its nearest candidate below and its nearest candidate above in that order. Both
//    are counted by comparing bytes, up to the last source byte less one: FindMatch counts a
//    candidate that agrees through the last byte one short, which caps every candidate at the
//    same length, so the capped maximum is FindMatch's length L.
// 2. The position. The candidates that reach L are exactly the candidates in the shallowest
//    tree node around cur's suffix whose depth is at least L; jump pointers find that node in
//    logarithmic time. FindMatch keeps the lowest of them, since a candidate replaces the best
//    one only when strictly longer. A candidate lies in the node, so the node's lowest position
//    is below cur; unless it is before searchStart, it is the answer. When it is (a window
//    smaller than the source), a min-tree over ranks that holds the positions since
//    searchStart gives the lowest one at or after it; a position that has fallen out of the
//    window is dropped from a subtree when a search passes through it, once per level at most,
//    so the searches of one source share O(n log n) such steps in all.
//
// No search is cut short and no candidate is skipped on a guess: every step is exact. Step 2
// runs only when L reaches the length the compressor acts on, so the byte comparisons of step 1
// are paid for by the bytes the match then covers.
#pragma once

#include <cstdint>
#include <span>

namespace lzc {

class MatchIndex {
public:
    // 16-bit words of memory that build() needs for a source of `length` bytes.
    static std::size_t memoryNeeded(std::int32_t length);

    // Indexes `text` (1 ... 32767 bytes), which must stay as it is while find() is used, in
    // `memory` (memoryNeeded() words at least, kept by the caller).
    void build(std::span<const std::uint8_t> text, std::span<std::uint16_t> memory);

    // Sets matchLength and matchPosition (1-based) to what FindMatch sets for the candidates
    // searchStart ... cur - 1 whenever that length is at least minLength (4 or more);
    // otherwise to a length below minLength and position 0. Successive calls must not move
    // searchStart or cur back, which the compressor's loop never does.
    void find(std::int32_t searchStart, std::int32_t cur, std::int32_t minLength,
              std::int32_t& matchLength, std::int32_t& matchPosition);

private:
    using Index = std::uint16_t;  // ranks, positions, depths and node numbers (< 32768)

    void buildLcp();
    void buildTree(Index* stack, Index* closing);
    void moveWindow(std::int32_t first, std::int32_t end);
    std::int32_t candidateBelow(std::int32_t rank) const;
    std::int32_t candidateAbove(std::int32_t rank) const;
    std::int32_t nodeAtDepth(std::int32_t rank, std::int32_t depth) const;
    std::int32_t lowestInWindow(std::int32_t firstRank, std::int32_t lastRank);
    std::int32_t repairSubtree(std::size_t node);

    const std::uint8_t* text_ = nullptr;
    std::int32_t length_ = 0;

    Index* suffixes_ = nullptr;  // suffix array
    Index* rank_ = nullptr;      // rank_[position]: where its suffix sorts
    Index* lcp_ = nullptr;       // lcp_[r]: bytes ranks r - 1 and r share (0 if < 4)

    // The interval tree. boundaryNode_[r] is the node of depth lcp_[r] spanning ranks r - 1
    // and r (the root for r == 0 and r == length_).
    Index* boundaryNode_ = nullptr;
    Index* depth_ = nullptr;
    Index* parent_ = nullptr;
    Index* jump_ = nullptr;   // an ancestor, about as far up again as the parent's jump
    Index* level_ = nullptr;  // edges up to the root
    Index* firstRank_ = nullptr;
    Index* lastRank_ = nullptr;
    Index* lowestPosition_ = nullptr;
    Index root_ = 0;

    // The candidate set: positions [windowFirst_, windowEnd_) as a bitmap over ranks, with a
    // summary bit per 64-rank word.
    std::uint64_t* candidates_ = nullptr;
    std::uint64_t* summary_ = nullptr;
    std::size_t summaryWords_ = 0;
    std::int32_t windowFirst_ = 0;
    std::int32_t windowEnd_ = 0;

    // Lowest window position per rank range, filled on the first search that needs it.
    // Positions below windowFirst_ may linger in a subtree until a search passes through it.
    Index* lowestTree_ = nullptr;
    bool treeReady_ = false;
    std::size_t leafBase_ = 0;
    std::int32_t treeEnd_ = 0;  // positions below it have been entered into lowestTree_
};

}  // namespace lzc
