#include "match_finder.h"

#include <memory>

#include "chain_search.h"
#include "match_index.h"

namespace lzc {

struct MatchFinder::Structures {
    ChainSearch chain;
    MatchIndex index;
    bool busy = false;
};

MatchFinder::MatchFinder(const CodecState& state, MatchSearch search) : search_(search) {
    if (search == MatchSearch::bruteForce) {
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
    if (search == MatchSearch::suffixArrayOnly) {
        structures_->index.build(state);
        indexBuilt_ = true;
    } else {
        structures_->chain.build(state, search == MatchSearch::chainsOnly ? ChainSearch::kUnlimited
                                        : search == MatchSearch::handOverEarly
                                            ? ChainSearch::kTiny
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
        FindMatch(state, searchStart, searchEnd, cur);
        return;
    }
    // Both searches answer exactly, so the hand-over may happen at any position.
    if (!indexBuilt_) {
        if (structures_->chain.find(state, searchStart, searchEnd, cur, shortest)) {
            return;
        }
        structures_->index.build(state);
        indexBuilt_ = true;
    }
    structures_->index.find(state, searchStart, searchEnd, cur, shortest);
}

}  // namespace lzc
