// Fuzz target: every fast match search must compress exactly as the brute force does.
//
// Input: the first two bytes choose the search window (high bit of the first set: one of the
// six quality windows; clear: any window from 1 to 32767), the rest is the source. The whole
// compressed output of each fast search must equal the brute force's; one of them hands over
// from the chain walk to the index after a few hundred links, so that short inputs reach the
// hand-over too. Keep inputs short (-max_len=1024): the brute force costs up to window x
// length steps a byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "lzc/codec.h"
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
    // One compressor for every input, as a batch uses it.
    static lzc::Compressor compressor;
    std::vector<std::uint8_t> expected;
    const lzc::Status expectedStatus =
        compressWith(compressor, lzc::MatchSearch::bruteForce, source, window, expected);
    for (const lzc::MatchSearch search :
         {lzc::MatchSearch::indexed, lzc::MatchSearch::suffixArrayOnly,
          lzc::MatchSearch::chainsOnly, lzc::MatchSearch::handOverEarly}) {
        std::vector<std::uint8_t> out;
        const lzc::Status status = compressWith(compressor, search, source, window, out);
        if (status != expectedStatus || out != expected) {
            std::abort();
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
    return 0;
}
