// Fuzz target: every fast match search must compress exactly as the brute force does.
//
// Input: the first two bytes choose the search window (high bit of the first set: one of the
// six quality windows; clear: any window from 1 to 32767), the rest is the source. Two checks:
// - the whole compressed output of each fast search equals the brute force's;
// - position by position, the chain walk with a tiny allowance, then the suffix-array index
//   from where the walk gives up, answer as FindMatch does.
// Keep inputs short (-max_len=1024): the brute force costs up to window x length steps a byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "lzc/codec.h"
#include "lzc/format.h"
#include "match_finder.h"

namespace {

std::int32_t windowFrom(std::uint8_t first, std::uint8_t second) {
    constexpr std::int32_t kWindows[] = {lzc::kWindowOptimal,  lzc::kWindowGood,
                                         lzc::kWindowModerate, lzc::kWindowBelowAverage,
                                         lzc::kWindowPoor,     lzc::kWindowVeryPoor};
    if ((first & 0x80) != 0) {
        return kWindows[second % 6];
    }
    return 1 + ((first << 8 | second) % lzc::kWindowOptimal);
}

void expectSameWholeOutputs(std::span<const std::uint8_t> source, std::int32_t window) {
    lzc::NoProgress progress;
    std::vector<std::uint8_t> expected;
    const lzc::Status expectedStatus =
        lzc::compressBuffer(source, window, expected, progress, lzc::kDefaultProgressInterval,
                            lzc::MatchSearch::bruteForce);
    for (const lzc::MatchSearch search :
         {lzc::MatchSearch::indexed, lzc::MatchSearch::suffixArrayOnly,
          lzc::MatchSearch::chainsOnly, lzc::MatchSearch::handOverEarly}) {
        std::vector<std::uint8_t> out;
        const lzc::Status status = lzc::compressBuffer(source, window, out, progress,
                                                       lzc::kDefaultProgressInterval, search);
        if (status != expectedStatus || out != expected) {
            std::abort();
        }
    }
}

void expectSameAnswersAtEveryPosition(std::span<const std::uint8_t> source, std::int32_t window) {
    lzc::CodecState reference;
    reference.buffer.assign(1, 0);
    reference.buffer.insert(reference.buffer.end(), source.begin(), source.end());
    reference.inputLength = static_cast<std::int32_t>(source.size());
    lzc::CodecState state = reference;
    lzc::MatchFinder finder(source, lzc::MatchSearch::handOverEarly);
    for (std::int32_t cur = 1; cur <= reference.inputLength; ++cur) {
        const std::int32_t start = std::max(1, cur - window);
        lzc::FindMatch(reference, start, cur - 1, cur);
        for (const std::int32_t shortest : {4, 5}) {
            finder.find(state, start, cur - 1, cur, shortest);
            const bool same = reference.matchLength >= shortest
                                  ? state.matchLength == reference.matchLength &&
                                        state.matchPosition == reference.matchPosition
                                  : state.matchLength < shortest && state.matchPosition == 0;
            if (!same) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size - 2 > static_cast<std::size_t>(lzc::kMaxSourceSize)) {
        return 0;
    }
    const std::int32_t window = windowFrom(data[0], data[1]);
    const std::span<const std::uint8_t> source(data + 2, size - 2);
    expectSameWholeOutputs(source, window);
    expectSameAnswersAtEveryPosition(source, window);
    return 0;
}
