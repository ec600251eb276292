#include "lzc/chain_search.h"

#include <algorithm>
#include <cassert>

#include "shared_prefix.h"

namespace lzc {
namespace {

constexpr int kHashBits = 15;
constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kShortestUseful = 4;

std::size_t hashOf(std::uint32_t fourBytes) {
    return (fourBytes * 2654435761U) >> (32 - kHashBits);
}

// Four equal bytes: a position inside a run.
bool isRun(std::uint32_t fourBytes) {
    return ((fourBytes ^ (fourBytes >> 8)) & 0xFFFFFF) == 0;
}

}  // namespace

std::uint32_t ChainSearch::firstFourBytes(std::int32_t position) const {
    const std::uint8_t* const p = text_ + position;
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

std::int32_t ChainSearch::sharedLength(std::int32_t a, std::int32_t b, std::int32_t limit) const {
    return detail::sharedPrefix(text_, a, b, limit);
}

void ChainSearch::build(const CodecState& state, Allowance allowance) {
    text_ = state.buffer.data() + 1;
    length_ = state.inputLength;
    assert(length_ >= 1 && state.buffer.size() > static_cast<std::size_t>(length_));
    head_.assign(std::size_t{1} << kHashBits, kNone);
    link_.resize(static_cast<std::size_t>(length_));
    runEnd_.resize(static_cast<std::size_t>(length_));
    for (std::int32_t p = 0; p + 4 <= length_; ++p) {
        const std::uint32_t key = firstFourBytes(p);
        if (isRun(key)) {
            if (p > 0 && text_[p - 1] == text_[p]) {
                continue;  // inside a run: only its first position is linked
            }
            std::int32_t end = p + 4;
            while (end < length_ && text_[end] == text_[p]) {
                ++end;
            }
            runEnd_[static_cast<std::size_t>(p)] = static_cast<std::uint16_t>(end);
        }
        std::uint16_t& head = head_[hashOf(key)];
        link_[static_cast<std::size_t>(p)] = head;
        head = static_cast<std::uint16_t>(p);
    }
    allowance_ = allowance;
    links_ = 0;
    exhausted_ = false;
}

bool ChainSearch::allowed() {
    ++links_;
    exhausted_ = links_ > limit_;
    return !exhausted_;
}

// Candidates that start with the same 4 bytes as `position` (not a run), newest first.
bool ChainSearch::walkChain(std::int32_t position, std::int32_t first, std::int32_t limit,
                            Best& best) {
    const std::uint32_t key = firstFourBytes(position);
    for (std::uint16_t c = link_[static_cast<std::size_t>(position)]; c != kNone && c >= first;
         c = link_[c]) {
        if (!allowed()) {
            return false;
        }
        if (firstFourBytes(c) != key) {
            continue;
        }
        const std::int32_t length = kShortestUseful + sharedLength(c + 4, position + 4, limit - 4);
        if (length >= best.length) {
            best = {length, c};
        }
    }
    return true;
}

// `position` lies in a run: candidates in its own run, then in earlier runs of the same byte.
bool ChainSearch::walkRuns(std::int32_t position, std::int32_t first, std::int32_t limit,
                           Best& best) {
    const std::uint8_t byte = text_[position];
    std::int32_t start = position;
    while (start > 0 && text_[start - 1] == byte) {
        --start;
    }
    const std::int32_t left = runEnd_[static_cast<std::size_t>(start)] - position;  // rx
    if (std::max(start, first) < position) {
        best = {std::min(left, limit), std::max(start, first)};
    }
    const std::uint32_t key = firstFourBytes(position);
    for (std::uint16_t c = link_[static_cast<std::size_t>(start)]; c != kNone; c = link_[c]) {
        if (!allowed()) {
            return false;
        }
        if (firstFourBytes(c) != key) {
            if (c < first) {
                break;  // not a run; nothing older is in the window
            }
            continue;
        }
        const std::int32_t end = runEnd_[c];
        const std::int32_t lowest = std::max<std::int32_t>(c, first);
        if (end - 4 < lowest) {
            break;  // this run, and every older one, lies before the window
        }
        Best here;
        if (end - lowest < left) {
            here = {end - lowest, lowest};  // every candidate runs out first
        } else if (left >= limit) {
            here = {limit, lowest};
        } else {
            // Only the candidate whose run ends with cur's can agree beyond `left` bytes.
            const std::int32_t beyond = sharedLength(end, position + left, limit - left);
            here = beyond > 0 ? Best{left + beyond, end - left} : Best{left, lowest};
        }
        here.length = std::min(here.length, limit);
        if (here.length >= best.length) {
            best = here;
        }
    }
    return true;
}

bool ChainSearch::find(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd,
                       std::int32_t cur, std::int32_t minLength) {
    state.matchLength = 0;
    state.matchPosition = 0;
    if (exhausted_) {
        return false;
    }
    const std::int32_t limit = length_ - cur;  // the last byte is never matched
    if (searchEnd < 1 || limit < minLength) {
        return true;
    }
    assert(minLength >= kShortestUseful && searchEnd == cur - 1);
    limit_ = allowance_.perByte * cur + allowance_.atStart;
    const std::int32_t position = cur - 1;
    Best best;
    const bool done = isRun(firstFourBytes(position))
                          ? walkRuns(position, searchStart - 1, limit, best)
                          : walkChain(position, searchStart - 1, limit, best);
    if (!done) {
        return false;
    }
    if (best.length >= minLength) {
        state.matchLength = best.length;
        state.matchPosition = best.position + 1;
    }
    return true;
}

}  // namespace lzc
