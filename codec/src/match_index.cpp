#include "match_index.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "array_carver.h"
#include "shared_prefix.h"
#include "suffix_array.h"

namespace lzc {
namespace {

// Shorter shared lengths never matter: the compressor acts on 4 bytes or more.
constexpr std::int32_t kShortestUseful = 4;
constexpr std::uint16_t kNoPosition = 0xFFFF;

// Entries of each array of about one per position: a multiple of 4, so that arrays after it
// start on 8 bytes.
std::size_t strideFor(std::size_t length) {
    return (length + 1 + 3) / 4 * 4;
}

}  // namespace

// Ten arrays of a stride each, the candidate bitmap and its summary, then a region that holds
// the suffix sorter's scratch, later the LCP array and the min-tree (and, while the tree of
// intervals is built, its two stacks in the min-tree's place).
std::size_t MatchIndex::memoryNeeded(std::int32_t length) {
    const auto n = static_cast<std::size_t>(length);
    const std::size_t stride = strideFor(n);
    const std::size_t words = (n + 63) / 64;
    return sizeof(Index) * 10 * stride + sizeof(std::uint64_t) * (words + (words + 63) / 64) +
           std::max(detail::suffixSortScratch(n),
                    sizeof(Index) * (stride + 2 * std::max(std::bit_ceil(n), stride)));
}

void MatchIndex::build(std::span<const std::uint8_t> text, std::span<std::byte> memory) {
    text_ = text.data();
    length_ = static_cast<std::int32_t>(text.size());
    assert(length_ >= 1 && memory.size() >= memoryNeeded(length_));
    const std::size_t stride = strideFor(text.size());
    detail::ArrayCarver carve(memory);
    for (Index** field : {&suffixes_, &rank_, &boundaryNode_, &depth_, &parent_, &jump_, &level_,
                          &firstRank_, &lastRank_, &lowestPosition_}) {
        *field = carve.take<Index>(stride);
    }
    const std::size_t words = (text.size() + 63) / 64;
    summaryWords_ = (words + 63) / 64;
    candidates_ = carve.take<std::uint64_t>(words + summaryWords_);
    summary_ = candidates_ + words;
    const std::span<std::byte> shared = carve.rest();
    detail::sortSuffixes(text, suffixes_, rank_, shared);
    detail::ArrayCarver afterSorting(shared);  // the sorter's scratch is done with
    lcp_ = afterSorting.take<Index>(stride);
    lowestTree_ = afterSorting.take<Index>(2 * std::max(std::bit_ceil(text.size()), stride));
    buildLcp();
    buildTree(lowestTree_, lowestTree_ + stride);  // before the min-tree is in use
    std::fill_n(candidates_, words + summaryWords_, 0);
    leafBase_ = std::bit_ceil(text.size());
    windowFirst_ = windowEnd_ = treeEnd_ = 0;
    steps_ = 0;
}

// Kasai's order: going through the source, the suffix one position on shares at least one
// byte less with its predecessor than this one did.
void MatchIndex::buildLcp() {
    lcp_[0] = lcp_[length_] = 0;  // every rank between is written below
    std::int32_t shared = 0;
    for (std::int32_t position = 0; position < length_; ++position) {
        const std::int32_t r = rank_[position];
        if (r == 0) {
            shared = 0;
            continue;
        }
        const std::int32_t before = suffixes_[r - 1];
        const std::int32_t most = length_ - std::max(position, before);
        shared += detail::sharedPrefix(text_, position + shared, before + shared, most - shared);
        lcp_[r] = static_cast<Index>(shared >= kShortestUseful ? shared : 0);
        shared = std::max(shared - 1, 0);
    }
}

// One pass over the LCP array with a stack of open intervals, deepest on top. Nodes are
// numbered as they open; each closes after all nodes inside it, so the reverse closing order
// visits parents before children. While a node is open, lowestPosition_ holds the lowest
// position of the leaves and closed nodes it has taken in so far.
void MatchIndex::buildTree(Index* const stack, Index* const closing) {
    std::size_t top = 0, closed = 0;
    Index nodes = 1;
    stack[0] = parent_[0] = jump_[0] = 0;
    depth_[0] = firstRank_[0] = level_[0] = boundaryNode_[0] = 0;
    lowestPosition_[0] = kNoPosition;
    for (std::int32_t b = 1; b <= length_; ++b) {
        // The leaf of rank b - 1 joins whatever closes or continues at boundary b.
        std::int32_t lowest = suffixes_[b - 1];
        auto first = static_cast<Index>(b - 1);
        const std::int32_t d = b < length_ ? lcp_[b] : 0;
        std::int32_t orphan = -1;  // a closed node whose parent opens at this boundary
        while (depth_[stack[top]] > d) {
            const Index node = stack[top--];
            lowest = std::min<std::int32_t>(lowest, lowestPosition_[node]);
            first = firstRank_[node];
            lastRank_[node] = static_cast<Index>(b - 1);
            lowestPosition_[node] = static_cast<Index>(lowest);
            closing[closed++] = node;
            if (depth_[stack[top]] >= d) {
                parent_[node] = stack[top];
            } else {
                orphan = node;
            }
        }
        Index open = stack[top];
        if (depth_[open] == d) {
            lowestPosition_[open] = std::min(lowestPosition_[open], static_cast<Index>(lowest));
        } else {
            open = stack[++top] = nodes++;
            depth_[open] = static_cast<Index>(d);
            firstRank_[open] = first;
            lowestPosition_[open] = static_cast<Index>(lowest);
            if (orphan >= 0) {
                parent_[orphan] = open;
            }
        }
        boundaryNode_[b] = open;
    }
    assert(top == 0 && boundaryNode_[length_] == 0);
    lastRank_[0] = static_cast<Index>(length_ - 1);

    // Jump pointers (skew-binary): from a node, the jump goes up by 1, 3, 7, ... levels, so
    // that any ancestor is reached in a logarithmic number of moves.
    for (std::size_t k = closed; k-- > 0;) {
        const Index node = closing[k];
        const Index up = parent_[node];
        const Index upJump = jump_[up];
        level_[node] = static_cast<Index>(level_[up] + 1);
        const bool even = level_[up] - level_[upJump] == level_[upJump] - level_[jump_[upJump]];
        jump_[node] = even ? jump_[upJump] : up;
    }
}

// The shallowest node on the path from rank's leaf up to the root whose depth is at least
// `depth`; the leaf's parent is deep enough whenever a candidate shares `depth` bytes.
std::int32_t MatchIndex::nodeAtDepth(std::int32_t rank, std::int32_t depth) {
    const auto r = static_cast<std::size_t>(rank);
    Index node = lcp_[r] >= lcp_[r + 1] ? boundaryNode_[r] : boundaryNode_[r + 1];
    assert(depth_[node] >= depth);
    while (node != 0 && depth_[parent_[node]] >= depth) {
        ++steps_;
        node = depth_[jump_[node]] >= depth ? jump_[node] : parent_[node];
    }
    return node;
}

void MatchIndex::moveWindow(std::int32_t first, std::int32_t end) {
    const auto flip = [this](std::int32_t position) {
        const std::size_t r = rank_[position];
        const std::size_t w = r / 64;
        const std::uint64_t bit = std::uint64_t{1} << (w % 64);
        candidates_[w] ^= std::uint64_t{1} << (r % 64);
        summary_[w / 64] = candidates_[w] != 0 ? summary_[w / 64] | bit : summary_[w / 64] & ~bit;
    };
    // Drop what fell out of the window, then take in what it has reached.
    steps_ += std::max(0, std::min(first, windowEnd_) - windowFirst_) +
              std::max(0, end - std::max(windowEnd_, first));
    for (std::int32_t p = windowFirst_; p < std::min(first, windowEnd_); ++p) {
        flip(p);
    }
    for (std::int32_t p = std::max(windowEnd_, first); p < end; ++p) {
        flip(p);
    }
    windowFirst_ = std::max(windowFirst_, first);
    windowEnd_ = std::max(windowEnd_, end);
}

// The candidate nearest to `rank` in rank order, above or below it; -1 if there is none.
template <bool kAbove>
std::int32_t MatchIndex::nearestCandidate(std::int32_t rank) {
    const auto beyond = [](std::size_t i) {  // the bits of a word past bit i on that side
        return kAbove ? ~std::uint64_t{1} << (i % 64) : (std::uint64_t{1} << (i % 64)) - 1;
    };
    const auto nearest = [](std::uint64_t bits) {
        return static_cast<std::size_t>(kAbove ? std::countr_zero(bits)
                                               : 63 - std::countl_zero(bits));
    };
    auto w = static_cast<std::size_t>(rank) / 64;
    if (const std::uint64_t bits = candidates_[w] & beyond(static_cast<std::size_t>(rank));
        bits != 0) {
        return static_cast<std::int32_t>(w * 64 + nearest(bits));
    }
    std::size_t s = w / 64;
    std::uint64_t words = summary_[s] & beyond(w);
    while (words == 0) {
        ++steps_;
        if (kAbove ? ++s == summaryWords_ : s-- == 0) {
            return -1;
        }
        words = summary_[s];
    }
    w = s * 64 + nearest(words);
    return static_cast<std::int32_t>(w * 64 + nearest(candidates_[w]));
}

// The lowest value below `node` that is still in the window; a value that fell out is replaced
// by the lowest of its children, and a leaf that fell out is emptied.
std::int32_t MatchIndex::repairSubtree(std::size_t node) {
    ++steps_;
    const std::int32_t value = lowestTree_[node];
    if (value >= windowFirst_) {  // in the window, or kNoPosition
        return value;
    }
    std::int32_t lowest = kNoPosition;
    if (node < leafBase_) {
        lowest = std::min(repairSubtree(2 * node), repairSubtree(2 * node + 1));
    }
    lowestTree_[node] = static_cast<Index>(lowest);
    return lowest;
}

std::int32_t MatchIndex::lowestInWindow(std::int32_t firstRank, std::int32_t lastRank) {
    if (treeEnd_ == 0) {  // the first search that needs the min-tree
        std::fill_n(lowestTree_, 2 * leafBase_, kNoPosition);
    }
    // Enter the window positions not entered yet, in increasing order: a subtree that already
    // holds a value holds a lower one, so the climb stops there.
    for (std::int32_t p = std::max(treeEnd_, windowFirst_); p < windowEnd_; ++p) {
        ++steps_;
        std::size_t node = leafBase_ + rank_[p];
        lowestTree_[node] = static_cast<Index>(p);
        for (node /= 2; node >= 1 && lowestTree_[node] == kNoPosition; node /= 2) {
            ++steps_;
            lowestTree_[node] = static_cast<Index>(p);
        }
    }
    treeEnd_ = std::max(treeEnd_, windowEnd_);

    std::int32_t lowest = kNoPosition;
    std::size_t lo = leafBase_ + static_cast<std::size_t>(firstRank);
    std::size_t hi = leafBase_ + static_cast<std::size_t>(lastRank) + 1;
    for (; lo < hi; lo /= 2, hi /= 2) {
        if (lo % 2 == 1) {
            lowest = std::min(lowest, repairSubtree(lo++));
        }
        if (hi % 2 == 1) {
            lowest = std::min(lowest, repairSubtree(--hi));
        }
    }
    return lowest;
}

void MatchIndex::find(std::int32_t first, std::int32_t position, std::int32_t maxLength,
                      std::int32_t minLength, detail::Match& best) {
    assert(first >= windowFirst_ && position >= windowEnd_);
    moveWindow(first, position);
    const std::int32_t rank = rank_[position];
    if (std::max(lcp_[rank], lcp_[rank + 1]) < minLength) {
        return;
    }
    std::int32_t longest = 0;
    for (const std::int32_t neighbour :
         {nearestCandidate<false>(rank), nearestCandidate<true>(rank)}) {
        if (neighbour >= 0) {
            longest = std::max(
                longest, detail::sharedPrefix(text_, position, suffixes_[neighbour], maxLength));
        }
    }
    if (longest < minLength) {
        return;
    }
    const std::int32_t node = nodeAtDepth(rank, longest);
    best = {longest, lowestPosition_[node]};
    if (best.position < windowFirst_) {
        best.position = lowestInWindow(firstRank_[node], lastRank_[node]);
    }
    assert(best.position >= windowFirst_ && best.position < position);
}

}  // namespace lzc
