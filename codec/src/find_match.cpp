#include "find_match.h"

#include <cassert>

namespace lzc {

void FindMatch(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd,
               std::int32_t cur) {
    state.matchLength = 0;
    state.matchPosition = 0;
    if (searchEnd < 1) {
        return;
    }
    assert(searchStart >= 1 && searchEnd < cur && cur <= state.inputLength);

    const std::uint8_t* const buffer = state.buffer.data();
    for (std::int32_t i = searchStart; i <= searchEnd; ++i) {
        std::int32_t j = 0;
        while (buffer[i + j] == buffer[cur + j]) {
            ++j;
            if (cur + j > state.inputLength) {
                --j;  // agreement up to the last byte: that byte is never part of a match
                break;
            }
        }
        if (j > state.matchLength) {  // strictly longer: ties stay with the lowest position
            state.matchLength = j;
            state.matchPosition = i;
        }
    }
}

}  // namespace lzc
