#include "match_finder.h"

#include <algorithm>
#include <bit>
#include <cassert>

namespace lzc {

MatchFinder::MatchFinder(std::span<const std::uint8_t> source, MatchSearch search,
                         SearchMemory& memory)
    : source_(source), memory_(memory), search_(search) {
    if (search == MatchSearch::bruteForce) {
        reference_.buffer.assign(1, 0);  // FindMatch counts from 1
        reference_.buffer.insert(reference_.buffer.end(), source.begin(), source.end());
        reference_.inputLength = static_cast<std::int32_t>(source.size());
        return;
    }
    const auto length = static_cast<std::int32_t>(source.size());
    const std::size_t bytes =
        std::max(ChainSearch::memoryNeeded(length), MatchIndex::memoryNeeded(length));
    if (memory_.size < bytes) {
        // Left uninitialised, as each search creates its arrays before it reads them (written
        // out because emscripten's libc++ lacks make_unique_for_overwrite).
        memory_.bytes = std::unique_ptr<std::byte[]>(new std::byte[bytes]);
        memory_.size = bytes;
    }
    if (search == MatchSearch::suffixArrayOnly) {
        memory_.index.build(source, memory_.span());
        indexBuilt_ = true;
    } else {
        memory_.chain.build(source, memory_.span(),
                            search == MatchSearch::chainsOnly      ? ChainSearch::kUnlimited
                            : search == MatchSearch::handOverEarly ? ChainSearch::kTiny
                                                                   : ChainSearch::kDefault);
    }
}

MatchFinder::Work MatchFinder::work() const {
    if (search_ == MatchSearch::bruteForce) {
        return {};
    }
    return {search_ == MatchSearch::suffixArrayOnly ? 0 : memory_.chain.linksUsed(),
            indexBuilt_ ? memory_.index.steps() : 0};
}

// The chain walk: its allowance in all and per search, twice over in all and once more for one
// search, as the allowance starts again when the exact keys are sorted. The index, with h = log2 of
// the min-tree's leaves (at most 15) and w summary words (at most 8): per search, 2w words looked
// at, at most 3(h + 1) jumps and 2(h + 1) min-tree nodes to start from; per position passed,
// 2 window changes, 1 + h nodes entered, and 2(h + 1) nodes visited while repairing, as a
// node's value only rises and each position of its subtree is its value at most once.
MatchFinder::Work MatchFinder::mostWork(std::int64_t searches, std::int32_t cur,
                                        std::int32_t length) {
    const ChainSearch::Allowance chain = ChainSearch::kDefault;
    const std::int64_t h = std::bit_width(std::bit_ceil(static_cast<std::uint32_t>(length))) - 1;
    const std::int64_t w = ((length + 63) / 64 + 63) / 64;
    return {std::min(2 * (chain.perByte * cur + chain.atStart), chain.perSearch * (searches + 1)),
            searches * (2 * w + 5 * (h + 1)) + std::int64_t{cur} * (3 * h + 5)};
}

void MatchFinder::find(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd,
                       std::int32_t cur, std::int32_t shortest) {
    if (search_ == MatchSearch::bruteForce) {
        FindMatch(reference_, searchStart, searchEnd, cur);
        state.matchLength = reference_.matchLength;
        state.matchPosition = reference_.matchPosition;
        return;
    }
    state.matchLength = state.matchPosition = 0;
    // The searches count from 0: candidates first ... position - 1, and at most maxLength bytes
    // a match, as FindMatch never matches the last source byte.
    const std::int32_t first = searchStart - 1;
    const std::int32_t position = cur - 1;
    const std::int32_t maxLength = static_cast<std::int32_t>(source_.size()) - cur;
    assert(shortest >= 4 && first >= 0 && first <= position);
    if (maxLength < shortest) {
        return;
    }
    detail::Match best;
    if (!indexBuilt_ && !memory_.chain.find(first, position, maxLength, best)) {
        memory_.index.build(source_, memory_.span());
        indexBuilt_ = true;
    }
    if (indexBuilt_) {
        memory_.index.find(first, position, maxLength, shortest, best);
    }
    if (best.length >= shortest) {
        state.matchLength = best.length;
        state.matchPosition = best.position + 1;
    }
}

}  // namespace lzc
