// The fast searches position by position against FindMatch.
#include <gtest/gtest.h>

#include <algorithm>

#include "chain_search.h"
#include "lzc/format.h"
#include "lzc/quality.h"
#include "match_finder.h"
#include "test_support.h"

namespace lzc::test {
namespace {

CodecState stateFor(const Bytes& source) {
    CodecState state;
    state.buffer = Bytes{0};
    state.buffer.insert(state.buffer.end(), source.begin(), source.end());
    state.inputLength = static_cast<std::int32_t>(source.size());
    return state;
}

std::vector<Bytes> sources() {
    std::vector<Bytes> all = {
        bytesOf("a"),           bytesOf("abababababX"), bytesOf("ABCDE-ABCDE+ABCDE!"),
        repeated('z', 300),     runs(400, 1),           periodic(400, 37, 3),
        randomBytes(400, 4, 2), textLike(400, 6),       repeatedWords(400, 7)};
    Bytes runsOfOne = repeated('a', 90);  // runs of one byte of different lengths
    for (const std::size_t length : {3U, 4U, 5U, 12U, 40U, 7U, 90U, 6U}) {
        runsOfOne.push_back('b');
        runsOfOne.insert(runsOfOne.end(), length, 'a');
    }
    all.push_back(runsOfOne);
    return all;
}

// At every position, asked twice as the compressor may: FindMatch's answer wherever it reaches
// the length asked for, a shorter one elsewhere.
TEST(FastSearchesAnswerAsFindMatch, AtEveryPosition) {
    for (const MatchSearch search : {MatchSearch::indexed, MatchSearch::suffixArrayOnly,
                                     MatchSearch::chainsOnly, MatchSearch::handOverEarly}) {
        for (const std::int32_t window : {kMaxSourceSize, 1024, 100, 5, 1}) {
            for (const Bytes& source : sources()) {
                CodecState reference = stateFor(source);
                CodecState state = stateFor(source);
                SearchMemory memory;
                MatchFinder finder(source, search, memory);
                for (std::int32_t cur = 1; cur <= state.inputLength; ++cur) {
                    const std::int32_t start = std::max(1, cur - window);
                    FindMatch(reference, start, cur - 1, cur);
                    for (const std::int32_t shortest : {4, 5}) {
                        finder.find(state, start, cur - 1, cur, shortest);
                        const bool reached = reference.matchLength >= shortest;
                        ASSERT_EQ(state.matchLength >= shortest, reached);
                        ASSERT_EQ(state.matchPosition, reached ? reference.matchPosition : 0)
                            << "position " << cur << " of " << source.size() << ", window "
                            << window << ", search " << static_cast<int>(search);
                        if (reached) {
                            ASSERT_EQ(state.matchLength, reference.matchLength);
                        }
                    }
                }
            }
        }
    }
}

// The searches' work, counted as the compressor asks them, stays within the stated bound on
// every benchmark source at every window, and no search follows more links than its allowance
// (the default, and a tiny one that the sources reach), twice over for the search in which the
// exact keys are sorted.
TEST(SearchWork, StaysWithinTheBoundOnTheBenchmarkSources) {
    const std::pair<MatchSearch, std::int64_t> searches[] = {
        {MatchSearch::indexed, ChainSearch::kDefault.perSearch},
        {MatchSearch::handOverEarly, ChainSearch::kTiny.perSearch}};
    for (const auto& [name, source, baseline] :
         vellicor::testdata::benchmarkSources(VELLICOR_SOURCE_DIR)) {
        const auto length = static_cast<std::int32_t>(source.size());
        for (const auto& [search, linksPerSearch] : searches) {
            for (const std::int32_t window : {kWindowOptimal, kWindowGood, kWindowModerate,
                                              kWindowBelowAverage, kWindowPoor, kWindowVeryPoor}) {
                SearchMemory memory;
                MatchFinder finder(source, search, memory);
                CodecState state;
                std::int64_t count = 0;
                for (std::int32_t cur = 1, shortest = 4; cur <= length; ++count) {
                    const std::int64_t linksBefore = finder.work().links;
                    finder.find(state, std::max(1, cur - window), cur - 1, cur, shortest);
                    const MatchFinder::Work work = finder.work();
                    const MatchFinder::Work most = MatchFinder::mostWork(count + 1, cur, length);
                    ASSERT_LE(work.links - linksBefore, 2 * linksPerSearch)
                        << name << " at " << cur;
                    ASSERT_LE(work.links, most.links) << name << ", window " << window;
                    ASSERT_LE(work.indexSteps, most.indexSteps) << name << ", window " << window;
                    // The compressor's policy: a match moves on past it, a miss asks for 5.
                    const bool matched = state.matchLength >= shortest;
                    cur += matched ? state.matchLength : shortest - 4;
                    shortest = matched ? 4 : 5;
                }
            }
        }
    }
}

}  // namespace
}  // namespace lzc::test
