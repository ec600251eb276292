// The fast searches position by position against FindMatch, and the suffix sorter against a
// plain sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "lzc/chain_search.h"
#include "lzc/codec.h"
#include "lzc/find_match.h"
#include "lzc/format.h"
#include "lzc/match_index.h"
#include "suffix_array.h"
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
    std::vector<Bytes> all = {bytesOf("a"),
                              bytesOf("abababababX"),
                              bytesOf("ABCDABCDABCDABCDX"),
                              bytesOf("ABCDE-ABCDE+ABCDE!"),
                              repeated('z', 300),
                              runs(400, 1),
                              periodic(400, 3, 2),
                              periodic(400, 37, 3),
                              randomBytes(400, 4, 2),
                              randomBytes(400, 5, 4),
                              textLike(400, 6),
                              repeatedWords(400, 7),
                              deBruijn(400, 3, 4),
                              nearCopies(400, 20, 8)};
    // A run interrupted now and then, and runs of one byte of different lengths.
    Bytes runsOfOne = repeated('a', 90);
    for (const std::size_t length : {3U, 4U, 5U, 12U, 40U, 7U, 90U, 6U}) {
        runsOfOne.push_back('b');
        runsOfOne.insert(runsOfOne.end(), length, 'a');
    }
    all.push_back(runsOfOne);
    return all;
}

// Asks `find(state, start, end, cur, shortest)` at every position, twice as the compressor may,
// and expects FindMatch's answer wherever it reaches `shortest`, a shorter one elsewhere.
template <class Find>
void expectFindMatchAnswers(const Bytes& source, std::int32_t window, Find find,
                            std::int32_t from = 1) {
    CodecState reference = stateFor(source);
    CodecState state = stateFor(source);
    for (std::int32_t cur = from; cur <= state.inputLength; ++cur) {
        const std::int32_t start = std::max(1, cur - window);
        FindMatch(reference, start, cur - 1, cur);
        for (const std::int32_t shortest : {4, 5}) {
            find(state, start, cur - 1, cur, shortest);
            const std::string where =
                "position " + std::to_string(cur) + " of " + std::to_string(source.size()) +
                ", window " + std::to_string(window) + ", shortest " + std::to_string(shortest);
            if (reference.matchLength >= shortest) {
                ASSERT_EQ(state.matchLength, reference.matchLength) << where;
                ASSERT_EQ(state.matchPosition, reference.matchPosition) << where;
            } else {
                ASSERT_LT(state.matchLength, shortest) << where;
                ASSERT_EQ(state.matchPosition, 0) << where;
            }
        }
    }
}

class EveryWindow : public testing::TestWithParam<std::int32_t> {};

TEST_P(EveryWindow, SuffixArrayIndexAnswersAsFindMatch) {
    MatchIndex index;
    for (const Bytes& source : sources()) {
        CodecState state = stateFor(source);
        index.build(state);  // built again for each source, on the memory of the last
        expectFindMatchAnswers(source, GetParam(),
                               [&](CodecState& s, auto... args) { index.find(s, args...); });
    }
}

TEST_P(EveryWindow, ChainWalkAnswersAsFindMatch) {
    ChainSearch chains;
    for (const Bytes& source : sources()) {
        CodecState state = stateFor(source);
        chains.build(state, ChainSearch::kUnlimited);
        expectFindMatchAnswers(source, GetParam(), [&](CodecState& s, auto... args) {
            ASSERT_TRUE(chains.find(s, args...));
        });
    }
}

TEST_P(EveryWindow, ChainWalkWithLongKeysFromTheStartAnswersAsFindMatch) {
    ChainSearch chains;
    ChainSearch::Allowance allowance = ChainSearch::kUnlimited;
    allowance.longPerByte = 0;
    allowance.longAtStart = 0;
    for (const Bytes& source : sources()) {
        CodecState state = stateFor(source);
        chains.build(state, allowance);
        expectFindMatchAnswers(source, GetParam(), [&](CodecState& s, auto... args) {
            ASSERT_TRUE(chains.find(s, args...));
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow,
                         testing::Values(kWindowOptimal, kWindowVeryPoor, 100, 5, 1));

TEST(ChainHandOver, IndexContinuesWhereTheChainsGaveUp) {
    const Bytes source = repeatedWords(1500, 9, 2);
    CodecState state = stateFor(source);
    ChainSearch chains;
    chains.build(state, {1, 200, 0, 0});
    std::int32_t gaveUp = 0;
    for (std::int32_t cur = 1; cur <= state.inputLength && gaveUp == 0; ++cur) {
        if (!chains.find(state, 1, cur - 1, cur, 4)) {
            gaveUp = cur;
        }
    }
    ASSERT_GT(gaveUp, 1);
    EXPECT_FALSE(chains.find(state, 1, gaveUp, gaveUp + 1, 4)) << "once given up, stays so";

    MatchIndex index;
    index.build(state);
    expectFindMatchAnswers(
        source, kWindowOptimal, [&](CodecState& s, auto... args) { index.find(s, args...); },
        gaveUp);
}

// Suffix ranks by a plain comparison sort.
std::vector<std::uint16_t> plainSuffixArray(const Bytes& text) {
    std::vector<std::uint16_t> sa(text.size());
    std::iota(sa.begin(), sa.end(), std::uint16_t{0});
    std::sort(sa.begin(), sa.end(), [&](std::uint16_t a, std::uint16_t b) {
        return std::lexicographical_compare(text.begin() + a, text.end(), text.begin() + b,
                                            text.end());
    });
    return sa;
}

TEST(SuffixSorter, AgreesWithAPlainSort) {
    detail::SuffixSorter sorter;
    std::vector<std::uint16_t> sa;
    std::vector<std::uint16_t> rank;
    std::vector<Bytes> texts = sources();
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        texts.push_back(randomBytes(1 + seed % 97, seed, 1 + static_cast<int>(seed % 5)));
    }
    texts.push_back(textLike(kMaxSourceSize, 10));
    texts.push_back(nearCopies(kMaxSourceSize, 1000, 11));
    for (const Bytes& text : texts) {
        sorter.sort(text, sa, rank);
        const std::vector<std::uint16_t> expected = plainSuffixArray(text);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), sa.begin()))
            << text.size() << " bytes";
        for (std::size_t r = 0; r < text.size(); ++r) {
            ASSERT_EQ(rank[sa[r]], r);
        }
    }
}

}  // namespace
}  // namespace lzc::test
