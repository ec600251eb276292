#include "chain_search.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "array_carver.h"
#include "shared_prefix.h"

namespace lzc {
namespace {

constexpr std::int32_t kShortestUseful = 4;
constexpr int kMostHashBits = 16;
constexpr std::size_t kExactArrays = 4;  // two sorted keys and their ranks
// Searches of this many links or more answered with fewer than 6 bytes count towards sorting
// the exact keys; shorter ones cost little however many there are.
constexpr std::int64_t kLongSearch = 32;

// About two to four chain heads per position, 256 to 65536 of them: a chain then seldom holds a
// position whose first 4 bytes differ, the common case of a search that finds nothing.
int hashBitsFor(std::size_t length) {
    return std::clamp(static_cast<int>(std::bit_width(length)) + 2, 8, kMostHashBits);
}

}  // namespace

std::size_t ChainSearch::memoryNeeded(std::int32_t length) {
    const auto n = static_cast<std::size_t>(length);
    return sizeof(std::uint16_t) *
           ((std::size_t{1} << hashBitsFor(n)) + (2 + kLongKeys.size() + kExactArrays) * n);
}

void ChainSearch::build(std::span<const std::uint8_t> text, std::span<std::byte> memory,
                        Allowance allowance) {
    text_ = text.data();
    length_ = static_cast<std::int32_t>(text.size());
    assert(length_ >= 1 && memory.size() >= memoryNeeded(length_));
    hashBits_ = hashBitsFor(text.size());
    detail::ArrayCarver carve(memory);
    head_ = carve.take<std::uint16_t>(std::size_t{1} << hashBits_);
    link_ = carve.take<std::uint16_t>(text.size());
    runEnd_ = carve.take<std::uint16_t>(text.size());
    longLinkSpace_ = carve.take<std::uint16_t>(kLongKeys.size() * text.size());
    longLink_.fill(nullptr);
    for (std::uint16_t** array : {&sorted4_, &rank4_, &sorted5_, &rank5_}) {
        *array = carve.take<std::uint16_t>(text.size());
    }
    // Sorting the exact keys needs two arrays of scratch: the chain heads, which no chain
    // being built needs meanwhile, hold twice the positions.
    assert(2 * text.size() <= (std::size_t{1} << hashBits_));
    scratch_ = {head_, head_ + text.size()};
    chain<true>(link_, kShortestUseful);
    allowance_ = allowance;
    linksUsed_ = linksBeforeExact_ = 0;
    spent_ = exact_ = anyBuilt_ = false;
    shortTies_ = 0;
    overdue_.fill(0);
    buildAfter_ = allowance.longFromStart ? 0 : length_ / 4;
}

// Links each position to the previous one with the same hash of its first keyLength bytes;
// positions too close to the end to have them are never reached. The main chain hashes 4 bytes
// at once and links only the first position of a run, recording in runEnd_ where it ends (and
// in the link of each later position of the run, where it starts); a long
// key's hash rolls along the source, each step taking one byte out and the next one in.
template <bool kMain>
void ChainSearch::chain(std::uint16_t* const links, std::int32_t keyLength) {
    std::fill_n(head_, std::size_t{1} << hashBits_, kNone);
    constexpr std::uint64_t kBase = 0x100000001B3ULL;
    std::uint64_t outgoing = 1;  // kBase to the power keyLength - 1
    std::uint64_t rolling = 0;
    std::uint16_t runStart = 0;
    for (std::int32_t k = 0; k < keyLength && k < length_; ++k) {
        rolling = rolling * kBase + text_[k];
        outgoing = k > 0 ? outgoing * kBase : 1;
    }
    for (std::int32_t p = 0; p + keyLength <= length_; ++p) {
        std::size_t slot = 0;
        if constexpr (kMain) {
            const std::uint32_t key = detail::load<std::uint32_t>(text_ + p);
            if (isRun(key)) {
                if (p > 0 && text_[p - 1] == text_[p]) {
                    links[p] = runStart;  // inside a run: never linked, so where it starts
                    continue;
                }
                runStart = static_cast<std::uint16_t>(p);
                std::int32_t end = p + 4;
                while (end < length_ && text_[end] == text_[p]) {
                    ++end;
                }
                runEnd_[p] = static_cast<std::uint16_t>(end);
            }
            slot = (key * 2654435761U) >> (32 - hashBits_);
        } else {
            if (p > 0) {
                rolling = (rolling - text_[p - 1] * outgoing) * kBase + text_[p + keyLength - 1];
            }
            // The top hashBits_ bits, which fit a 32-bit size_t (WebAssembly) too.
            slot = static_cast<std::size_t>(((rolling ^ (rolling >> 29)) * 0xBF58476D1CE4E5B9ULL) >>
                                            (64 - hashBits_));
        }
        std::uint16_t& head = head_[slot];
        links[p] = head;
        head = static_cast<std::uint16_t>(p);
    }
}

// From candidate c on along link_ (level 0) or longLink_[level - 1], newest first. Once the
// long chains are in use, a candidate that lengthens best to the longest key it reaches moves
// the walk to that key's chain at once, from itself, if that chain is built; and every
// kSwitchCheck links, if best.length reaches the next long key, the walk moves to its chain
// (building it) from best.position. Candidates between best.position and c are met again
// there; they were shorter than best, so nothing changes.
bool ChainSearch::walkFrom(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                           std::uint16_t c, std::size_t level, detail::Match& best) {
    const bool wide = maxLength >= 8;  // then 8 bytes from any candidate lie before the end
    const std::uint64_t ahead = wide ? detail::load<std::uint64_t>(text_ + position) : 0;
    const std::uint16_t* links = level == 0 ? link_ : longLink_[level - 1];
    for (std::int32_t steps = 1; c != kNone && c >= first; c = links[c], ++steps) {
        if (spend()) {
            return false;
        }
        std::int32_t length = 0;
        if (wide) {
            const auto word = detail::load<std::uint64_t>(text_ + c);
            length = word == ahead
                         ? 8 + detail::sharedPrefix(text_, c + 8, position + 8, maxLength - 8)
                         : detail::firstDifferingByte(word ^ ahead);
        } else {
            length = detail::sharedPrefix(text_, c, position, maxLength);
        }
        if (length >= std::max(best.length, kShortestUseful)) {
            const bool longer = length > best.length;
            best = {length, c};
            if (longer && anyBuilt_ && level < kLongKeys.size() && length >= kLongKeys[level]) {
                level = levelFor(level, length, 0);
                links = level == 0 ? link_ : longLink_[level - 1];
            }
        }
        if (steps % kSwitchCheck == 0 && level < kLongKeys.size() &&
            best.length >= kLongKeys[level]) {
            if (const std::size_t next = levelFor(level, best.length, kSwitchCheck); next > level) {
                level = next;
                links = longLink_[level - 1];
                c = static_cast<std::uint16_t>(best.position);
            }
        }
    }
    return true;
}

// The level a walk at `level` goes on at once its best has `length` bytes: the longest key that
// length reaches whose chain is built. `passed` links walked at `level` meanwhile count towards
// building the longest key's chain, which is built once they would have paid for its pass over
// the source.
std::size_t ChainSearch::levelFor(std::size_t level, std::int32_t length, std::int64_t passed) {
    std::size_t reached = level;
    while (reached < kLongKeys.size() && length >= kLongKeys[reached]) {
        ++reached;
    }
    if (reached > level && longLink_[reached - 1] == nullptr) {
        overdue_[reached - 1] += passed;
        if (overdue_[reached - 1] >= buildAfter_) {
            buildLevel(reached);
        }
    }
    while (reached > level && longLink_[reached - 1] == nullptr) {
        --reached;
    }
    return reached;
}

// Builds the chain of kLongKeys[level - 1], if it is not yet.
void ChainSearch::buildLevel(std::size_t level) {
    std::uint16_t*& links = longLink_[level - 1];
    if (links == nullptr) {
        links = longLinkSpace_ + (level - 1) * static_cast<std::size_t>(length_);
        chain<false>(links, kLongKeys[level - 1]);
        anyBuilt_ = true;
    }
}

// Starts the walk at the longest built key that some candidate in the window shares with
// `position` (a key longer than maxLength is never linked at position), or else at the 4-byte
// chain. The candidates passed on the way share fewer bytes than that key: none is the answer.
bool ChainSearch::walkDown(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                           detail::Match& best) {
    for (std::size_t level = kLongKeys.size(); level > 0; --level) {
        const std::int32_t key = kLongKeys[level - 1];
        const std::uint16_t* const links = longLink_[level - 1];
        if (links == nullptr || key > maxLength) {
            continue;
        }
        for (std::uint16_t c = links[position]; c != kNone && c >= first; c = links[c]) {
            if (spend()) {
                return false;
            }
            if (detail::sharedPrefix(text_, c, position, key) == key) {
                return walkFrom(position, first, maxLength, c, level, best);
            }
        }
    }
    return walkFrom(position, first, maxLength, link_[position], 0, best);
}

// `position` lies in a run: candidates in its own run, then in earlier runs of the same byte.
bool ChainSearch::walkRuns(std::int32_t position, std::int32_t first, std::int32_t maxLength,
                           detail::Match& best) {
    const std::uint8_t byte = text_[position];
    const std::int32_t start =
        position > 0 && text_[position - 1] == byte ? link_[position] : position;
    const std::int32_t runLeft = runEnd_[start] - position;
    if (std::max(start, first) < position) {
        best = {std::min(runLeft, maxLength), std::max(start, first)};
    }
    const std::uint32_t key = detail::load<std::uint32_t>(text_ + position);
    std::int32_t steps = 0;
    for (std::uint16_t c = link_[start]; c != kNone; c = link_[c]) {
        ++steps;
        if (spend()) {
            return false;
        }
        if (detail::load<std::uint32_t>(text_ + c) != key) {
            if (c < first) {
                break;  // not a run; nothing older is in the window
            }
            continue;
        }
        const std::int32_t end = runEnd_[c];
        const std::int32_t lowest = std::max(std::int32_t{c}, first);
        if (end - 4 < lowest) {
            break;  // this run, and every older one, lies before the window
        }
        detail::Match here{runLeft, lowest};
        if (end - lowest < runLeft) {
            here.length = end - lowest;  // every candidate runs out first
        } else if (runLeft < maxLength) {
            // Only the candidate whose run ends with position's can share more than runLeft.
            const std::int32_t beyond =
                detail::sharedPrefix(text_, end, position + runLeft, maxLength - runLeft);
            if (beyond > 0) {
                here = {runLeft + beyond, end - runLeft};
            }
        }
        here.length = std::min(here.length, maxLength);
        if (here.length < best.length) {
            continue;
        }
        best = here;
        // A best reaching past position's run may go on along a long key's chain, as in
        // walkFrom(), if that key reaches past the run too (else it links every run position).
        if (steps >= kSwitchCheck && best.length > runLeft && best.length >= kLongKeys[0]) {
            const std::size_t level =
                levelFor(0, best.length, steps % kSwitchCheck == 0 ? kSwitchCheck : 0);
            if (level > 0 && kLongKeys[level - 1] > runLeft) {
                return walkFrom(position, first, maxLength, longLink_[level - 1][best.position],
                                level, best);
            }
        }
    }
    return true;
}

// find() has passed on the search: position has a candidate in the window, or lies in a run.
// If the budget runs out before the exact keys are sorted, they are, and the search starts
// again; searches answered with fewer than 6 bytes may sort them first.
bool ChainSearch::walk(std::int32_t first, std::int32_t position, std::int32_t maxLength,
                       detail::Match& best) {
    if (spent_) {
        return false;
    }
    if (!exact_ && allowance_.exactFromStart) {
        buildExact();
    }
    const detail::Match given = best;
    for (;;) {
        linkBudget_ =
            std::min(linksBeforeExact_ + allowance_.perByte * (position + 1) + allowance_.atStart,
                     linksUsed_ + allowance_.perSearch);
        const std::int64_t before = linksUsed_;
        const bool run = isRun(detail::load<std::uint32_t>(text_ + position));
        const bool answered =
            run                           ? walkRuns(position, first, maxLength, best)
            : exact_ && position < keyed_ ? findExact(first, position, maxLength, best)
            : anyBuilt_                   ? walkDown(position, first, maxLength, best)
                        : walkFrom(position, first, maxLength, link_[position], 0, best);
        if (answered && !exact_ && !run && best.length < kLongKeys[0] &&
            linksUsed_ - before >= kLongSearch) {
            shortTies_ += linksUsed_ - before;
            if (shortTies_ >= allowance_.tiesPerByte * length_ + allowance_.tiesAtStart) {
                linksBeforeExact_ = linksUsed_;
                buildExact();
            }
        }
        if (answered || exact_) {
            return answered;
        }
        spent_ = false;
        best = given;
        linksBeforeExact_ = linksUsed_;
        buildExact();
    }
}

}  // namespace lzc
