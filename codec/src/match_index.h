// The suffix-array index: FindMatch's answers in logarithmic time per search, built in linear
// time, whatever the input. Positions are 0-based, as in the chain walk.
//
// Algorithm. build() sorts the suffixes (suffixes_, rank_; induced sorting), counts the bytes
// each shares with its predecessor in that order (lcp_, Kasai's order), and builds over lcp_
// the tree of shared-prefix intervals: a node is a maximal run of ranks firstRank_ ...
// lastRank_ whose suffixes all share depth_ bytes, and lowestPosition_ is the lowest position
// in it. Comparing whole suffixes lets a candidate run into the bytes at `position` and beyond,
// as FindMatch does. The candidates first ... position - 1 are a bitmap over ranks
// (candidates_), which moveWindow() grows at the top and shrinks at the bottom.
//
// 1. The length. Two suffixes share the minimum of lcp_ between their ranks, so the candidates
//    sharing most with `position` include its nearest candidates below and above in rank.
//    Both are compared byte by byte up to maxLength: the larger is FindMatch's length.
// 2. The position. The candidates sharing that many bytes are those in the shallowest node
//    around rank_[position] that deep (nodeAtDepth(), by jump pointers). FindMatch keeps the
//    lowest of them: lowestPosition_ of the node unless it lies before `first`; then
//    lowestTree_, a min-tree over ranks of the window positions, gives it. A position that left
//    the window is dropped from a subtree when a search passes through: O(n log n) in all.
//
// Step 2 runs only when the length reaches what the compressor acts on, so the comparisons of
// step 1 are paid for by the bytes the match covers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "shared_prefix.h"

namespace lzc {

class MatchIndex {
public:
    // Bytes of memory that build() needs for a source of `length` bytes.
    static std::size_t memoryNeeded(std::int32_t length);

    // Indexes `text` (1 ... 32767 bytes), which must stay as it is while find() is used, in
    // `memory` (memoryNeeded() bytes at least, kept by the caller; the tables are created there,
    // ending whatever lay there before).
    void build(std::span<const std::uint8_t> text, std::span<std::byte> memory);

    // Sets `best` to FindMatch's answer for `position` over the candidates first ...
    // position - 1, at most maxLength bytes, whenever that length is at least minLength (4 or
    // more); otherwise leaves it. Successive calls must not move first or position back.
    void find(std::int32_t first, std::int32_t position, std::int32_t maxLength,
              std::int32_t minLength, detail::Match& best);

    // The searches' steps since build(): window positions taken in or dropped, summary words
    // looked at, jumps up the interval tree, and min-tree nodes entered or visited.
    std::int64_t steps() const { return steps_; }

private:
    using Index = std::uint16_t;  // ranks, positions, depths and node numbers (< 32768)

    void buildLcp();
    void buildTree(Index* stack, Index* closing);
    void moveWindow(std::int32_t first, std::int32_t end);
    template <bool kAbove>
    std::int32_t nearestCandidate(std::int32_t rank);
    std::int32_t nodeAtDepth(std::int32_t rank, std::int32_t depth);
    std::int32_t lowestInWindow(std::int32_t firstRank, std::int32_t lastRank);
    std::int32_t repairSubtree(std::size_t node);

    const std::uint8_t* text_ = nullptr;
    std::int32_t length_ = 0;

    Index* suffixes_ = nullptr;  // suffix array
    Index* rank_ = nullptr;      // rank_[position]: where its suffix sorts
    Index* lcp_ = nullptr;       // lcp_[r]: bytes ranks r - 1 and r share (0 if < 4)

    // The interval tree, node 0 its root. boundaryNode_[r] is the node of depth lcp_[r]
    // spanning ranks r - 1 and r (the root for r == 0 and r == length_).
    Index* boundaryNode_ = nullptr;
    Index* depth_ = nullptr;
    Index* parent_ = nullptr;
    Index* jump_ = nullptr;   // an ancestor, about as far up again as the parent's jump
    Index* level_ = nullptr;  // edges up to the root
    Index* firstRank_ = nullptr;
    Index* lastRank_ = nullptr;
    Index* lowestPosition_ = nullptr;

    // The candidate set: positions [windowFirst_, windowEnd_) as a bitmap over ranks, with a
    // summary bit per 64-rank word.
    std::uint64_t* candidates_ = nullptr;
    std::uint64_t* summary_ = nullptr;
    std::size_t summaryWords_ = 0;
    std::int32_t windowFirst_ = 0;
    std::int32_t windowEnd_ = 0;

    // Lowest window position per rank range. Positions below windowFirst_ may linger in a
    // subtree until a search passes through it.
    Index* lowestTree_ = nullptr;
    std::size_t leafBase_ = 0;
    std::int32_t treeEnd_ = 0;  // positions below it have been entered into lowestTree_

    std::int64_t steps_ = 0;
};

}  // namespace lzc
