// Fuzz target: every fast match search must compress exactly as the brute force does.
//
// Input: the first two bytes choose the search window (high bit of the first set: one of the
// six quality windows; clear: any window from 1 to 32767), the rest is the source. The whole
// compressed output of each fast search must equal the brute force's; one of them hands over
// from the chain walk to the index after a few hundred links, so that short inputs reach the
// hand-over too. Each search's work, counted as the compressor asks, must stay within the
// bound the match finder states; with -use_value_profile=1 the fuzzer is drawn to inputs whose
// work comes close to it. Keep inputs short (-max_len=1024): the brute force costs up to
// window x length steps a byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "chain_search.h"
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
    static lzc::CompressorCore compressor;
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

// Searches as the compressor does and stops at the first search whose work passes the bound
// (twice its allowance of links for the one search in which the exact keys are sorted).
void expectWorkWithinBound(std::span<const std::uint8_t> source, std::int32_t window,
                           lzc::MatchSearch search) {
    lzc::SearchMemory memory;
    lzc::MatchFinder finder(source, search, memory);
    lzc::CodecState state;
    const auto length = static_cast<std::int32_t>(source.size());
    std::int64_t searches = 0;
    for (std::int32_t cur = 1, shortest = 4; cur <= length; ++searches) {
        const std::int64_t linksBefore = finder.work().links;
        finder.find(state, std::max(1, cur - window), cur - 1, cur, shortest);
        const lzc::MatchFinder::Work work = finder.work();
        const lzc::MatchFinder::Work most = lzc::MatchFinder::mostWork(searches + 1, cur, length);
        const std::int64_t linksPerSearch = search == lzc::MatchSearch::handOverEarly
                                                ? lzc::ChainSearch::kTiny.perSearch
                                                : lzc::ChainSearch::kDefault.perSearch;
        if (work.links - linksBefore > 2 * linksPerSearch || work.links > most.links ||
            work.indexSteps > most.indexSteps) {
            std::abort();
        }
        const bool matched = state.matchLength >= shortest;
        cur += matched ? state.matchLength : shortest - 4;
        shortest = matched ? 4 : 5;
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
    for (const lzc::MatchSearch search :
         {lzc::MatchSearch::indexed, lzc::MatchSearch::handOverEarly,
          lzc::MatchSearch::suffixArrayOnly}) {
        expectWorkWithinBound(source, window, search);
    }
    return 0;
}
