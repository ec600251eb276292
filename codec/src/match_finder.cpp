#include "match_finder.h"

#include <algorithm>
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
    const std::size_t words =
        std::max(ChainSearch::memoryNeeded(length), MatchIndex::memoryNeeded(length));
    if (memory_.size < words) {
        memory_.words.reset(new std::uint16_t[words]);
        memory_.size = words;
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
