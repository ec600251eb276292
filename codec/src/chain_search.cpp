#include "chain_search.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "shared_prefix.h"

namespace lzc {
namespace {

constexpr std::uint16_t kNone = 0xFFFF;
constexpr std::int32_t kShortestUseful = 4;

// Four equal bytes: a position inside a run.
bool isRun(std::uint32_t fourBytes) {
    return ((fourBytes ^ (fourBytes >> 8)) & 0xFFFFFF) == 0;
}

}  // namespace

// In the machine's byte order: the value serves only for hashing, equality and isRun.
std::uint32_t ChainSearch::firstFourBytes(std::int32_t position) const {
    std::uint32_t value;
    std::memcpy(&value, text_ + position, sizeof value);
    return value;
}

std::int32_t ChainSearch::sharedLength(std::int32_t a, std::int32_t b, std::int32_t limit) const {
    return detail::sharedPrefix(text_, a, b, limit);
}

void ChainSearch::build(const CodecState& state, Allowance allowance) {
    text_ = state.buffer.data() + 1;
    length_ = state.inputLength;
    assert(length_ >= 1 && state.buffer.size() > static_cast<std::size_t>(length_));
    // About two chain heads per position, 256 to 65536 of them.
    const int hashBits = std::clamp(
        static_cast<int>(std::bit_width(static_cast<std::uint32_t>(length_))) + 1, 8, 16);
    hashShift_ = 32 - hashBits;
    head_.assign(std::size_t{1} << hashBits, kNone);
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
        std::uint16_t& head = head_[(key * 2654435761U) >> hashShift_];
        link_[static_cast<std::size_t>(p)] = head;
        head = static_cast<std::uint16_t>(p);
    }
    for (std::vector<std::uint16_t>& level : longLink_) {
        level.clear();  // built when a search first needs it
    }
    allowance_ = allowance;
    links_ = 0;
    exhausted_ = false;
    longChains_ = false;
}

// Links each position to the previous one with the same hash of its first kLongKeys[level]
// bytes. Positions too close to the end to have them are never reached. The hash of all those
// bytes rolls along the source: each step takes one byte out and the next one in.
void ChainSearch::buildLongLevel(std::size_t level) {
    const std::int32_t keyLength = kLongKeys[level];
    const int hashBits = std::min(32 - hashShift_, 14);
    head_.assign(std::size_t{1} << hashBits, kNone);
    std::vector<std::uint16_t>& links = longLink_[level];
    links.resize(static_cast<std::size_t>(length_));
    constexpr std::uint64_t kBase = 0x100000001B3ULL;
    std::uint64_t outgoing = 1;  // kBase to the power keyLength - 1
    std::uint64_t rolling = 0;
    for (std::int32_t k = 0; k < keyLength && k < length_; ++k) {
        rolling = rolling * kBase + text_[k];
        outgoing = k > 0 ? outgoing * kBase : 1;
    }
    for (std::int32_t p = 0; p + keyLength <= length_; ++p) {
        if (p > 0) {
            rolling = (rolling - text_[p - 1] * outgoing) * kBase + text_[p + keyLength - 1];
        }
        const std::uint64_t mixed = (rolling ^ (rolling >> 29)) * 0xBF58476D1CE4E5B9ULL;
        std::uint16_t& head = head_[mixed >> (64 - hashBits)];
        links[static_cast<std::size_t>(p)] = head;
        head = static_cast<std::uint16_t>(p);
    }
}

// Candidates that start with the same 4 bytes as `position` (not a run), newest first.
bool ChainSearch::walkChain(std::int32_t position, std::int32_t first, std::int32_t limit,
                            Best& best) {
    std::int64_t left = limit_ - links_;
    const bool done =
        walkFrom(position, first, limit, link_[static_cast<std::size_t>(position)], 0, left, best);
    links_ = limit_ - left;
    return done;
}

// Goes on from candidate c along the chain of the long key level `level` (0: the 4-byte
// chain), newest first. Once the best match reaches one of the long key lengths, only a
// candidate sharing that many bytes can still replace it, so the walk may switch to the chain
// of positions whose first bytes of that length hash alike, from the best candidate on: a much
// shorter chain on repetitive data. Those chains cost a pass over the source each, so a walk
// switches only when it has grown long itself (every kSwitchCheck links it looks again), and
// only once the walks in all have grown long. Candidates between the best one and c are met
// again on the new chain; they were shorter than the best, so nothing changes.
bool ChainSearch::walkFrom(std::int32_t position, std::int32_t first, std::int32_t limit,
                           std::uint16_t c, std::size_t level, std::int64_t& left, Best& best) {
    const bool wide = limit >= 8;  // then 8 bytes from any candidate lie before the last byte
    std::uint64_t ahead = 0;
    if (wide) {
        std::memcpy(&ahead, text_ + position, sizeof ahead);
    }
    const std::uint16_t* links = level == 0 ? link_.data() : longLink_[level - 1].data();
    std::int32_t steps = 0;
    for (; c != kNone && c >= first; c = links[c]) {
        if (--left < 0) {
            exhausted_ = true;
            return false;
        }
        std::int32_t length = 0;
        if (wide) {
            std::uint64_t word;
            std::memcpy(&word, text_ + c, sizeof word);
            length = word == ahead ? 8 + sharedLength(c + 8, position + 8, limit - 8)
                                   : detail::firstDifferingByte(word ^ ahead);
        } else {
            length = sharedLength(c, position, limit);
        }
        if (length >= std::max(best.length, kShortestUseful)) {
            best = {length, c};
        }
        if (++steps % kSwitchCheck == 0 && longChains_ && level < kLongKeys.size() &&
            best.length >= kLongKeys[level]) {
            level = longLevelFor(best.length);
            links = longLink_[level - 1].data();
            c = static_cast<std::uint16_t>(best.position);
        }
    }
    return true;
}

// How many long key lengths `length` reaches (at least one); builds the chain of the longest.
std::size_t ChainSearch::longLevelFor(std::int32_t length) {
    std::size_t level = 0;
    while (level < kLongKeys.size() && length >= kLongKeys[level]) {
        ++level;
    }
    if (longLink_[level - 1].empty()) {
        buildLongLevel(level - 1);
    }
    return level;
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
    std::int64_t leftLinks = limit_ - links_;
    std::int32_t steps = 0;
    for (std::uint16_t c = link_[static_cast<std::size_t>(start)]; c != kNone; c = link_[c]) {
        ++steps;
        if (--leftLinks < 0) {
            exhausted_ = true;
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
            // A candidate that agrees beyond the run may hand the rest of the walk to a long
            // key chain, as in walkFrom, when that key reaches past cur's run.
            if (steps >= kSwitchCheck && longChains_ && best.length > left &&
                best.length >= kLongKeys[0]) {
                const std::size_t level = longLevelFor(best.length);
                if (kLongKeys[level - 1] > left) {
                    const bool done =
                        walkFrom(position, first, limit,
                                 longLink_[level - 1][static_cast<std::size_t>(best.position)],
                                 level, leftLinks, best);
                    links_ = limit_ - leftLinks;
                    return done;
                }
            }
        }
    }
    links_ = limit_ - leftLinks;
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
    const std::int32_t position = cur - 1;
    const std::uint32_t key = firstFourBytes(position);
    const std::uint16_t link = link_[static_cast<std::size_t>(position)];
    if (!isRun(key) && (link == kNone || link < searchStart - 1)) {
        return true;  // no earlier position shares its hash in the window
    }
    limit_ = allowance_.perByte * cur + allowance_.atStart;
    longChains_ = longChains_ || links_ >= allowance_.longPerByte * cur + allowance_.longAtStart;
    Best best;
    const bool done = isRun(key) ? walkRuns(position, searchStart - 1, limit, best)
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
