// The reference longest-match search.
//
// Algorithm: for each candidate position i from searchStart up to searchEnd, in ascending
// order, count how many bytes from i agree with the bytes from cur. The comparison may run past
// cur into the bytes being matched, so overlapping repeats are found. A candidate replaces the
// best one only when it is strictly longer, so ties go to the lowest position. When a candidate
// agrees all the way to the last source byte its length is counted one short: no match ever
// covers the last byte, and at cur == inputLength the result is always 0.
//
// The compressor's output depends on every one of those rules. Any faster search must return
// the same answer wherever the compressor looks at it.
#pragma once

#include <cstdint>
#include <vector>

namespace lzc {

// The compressor's working record.
struct CodecState {
    // buffer[k] is source byte k for k = 1 ... inputLength; buffer[0] is never read. Only
    // FindMatch reads it: the compressor and the fast searches read the caller's source bytes.
    std::vector<std::uint8_t> buffer;
    std::int32_t inputLength = 0;
    // Current 1-based position in the input.
    std::int32_t position = 0;
    // Result of the last search: length 0 and position 0 when nothing matched.
    std::int32_t matchLength = 0;
    std::int32_t matchPosition = 0;
};

// Brute-force search over the candidates searchStart ... searchEnd (all below cur); sets
// state.matchLength and state.matchPosition.
void FindMatch(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd,
               std::int32_t cur);

}  // namespace lzc
