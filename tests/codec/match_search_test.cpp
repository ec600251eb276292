// The fast searches position by position against FindMatch.
#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace lzc::test
