#include "match_finder.h"

#include <algorithm>

#include "chain_search.h"
#include "match_index.h"

namespace lzc {

// One block of memory serves the chain walk and, once it hands over, the index in its place:
// the hand-over is for good, so the two never need their memory at the same time.
struct MatchFinder::Structures {
    std::unique_ptr<std::uint16_t[]> memory;  // not initialized: untouched pages cost nothing
    std::size_t words = 0;
    ChainSearch chain;
    MatchIndex index;
    bool busy = false;
};

std::size_t MatchFinder::memoryNeeded(std::int32_t length) {
    return std::max(ChainSearch::memoryNeeded(length), MatchIndex::memoryNeeded(length));
}

MatchFinder::MatchFinder(std::span<const std::uint8_t> source, MatchSearch search)
    : source_(source), search_(search) {
    if (search == MatchSearch::bruteForce) {
        reference_.buffer.assign(1, 0);
        reference_.buffer.insert(reference_.buffer.end(), source.begin(), source.end());
        reference_.inputLength = static_cast<std::int32_t>(source.size());
        return;
    }
    // One set per thread, so that its memory serves one compression after another. A
    // compression started while it is in use (from inside a progress update) gets its own.
    static thread_local Structures shared;
    if (shared.busy) {
        owned_ = std::make_unique<Structures>();
    }
    structures_ = shared.busy ? owned_.get() : &shared;
    structures_->busy = true;
    const std::size_t words = memoryNeeded(static_cast<std::int32_t>(source.size()));
    if (structures_->words < words) {
        structures_->memory.reset(new std::uint16_t[words]);
        structures_->words = words;
    }
    const std::span<std::uint16_t> memory(structures_->memory.get(), words);
    if (search == MatchSearch::suffixArrayOnly) {
        structures_->index.build(source, memory);
        indexBuilt_ = true;
    } else {
        structures_->chain.build(source, memory,
                                 search == MatchSearch::chainsOnly      ? ChainSearch::kUnlimited
                                 : search == MatchSearch::handOverEarly ? ChainSearch::kTiny
                                                                        : ChainSearch::kDefault);
    }
}

MatchFinder::~MatchFinder() {
    if (structures_ != nullptr) {
        structures_->busy = false;
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
    if (!indexBuilt_) {
        if (structures_->chain.find(searchStart, cur, shortest, state.matchLength,
                                    state.matchPosition)) {
            return;
        }
        structures_->index.build(
            source_,
            {structures_->memory.get(), memoryNeeded(static_cast<std::int32_t>(source_.size()))});
        indexBuilt_ = true;
    }
    structures_->index.find(searchStart, cur, shortest, state.matchLength, state.matchPosition);
}

}  // namespace lzc
