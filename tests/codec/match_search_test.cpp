// The fast match searches against the brute force: position by position against FindMatch,
// whole compressed outputs byte for byte and the sources they restore; and the searches' work.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "chain_search.h"
#include "lzc/codec.h"
#include "lzc/format.h"
#include "lzc/quality.h"
#include "match_finder.h"
#include "test_support.h"

namespace lzc::test {
namespace {

constexpr std::int32_t kWindows[] = {kWindowOptimal,      kWindowGood, kWindowModerate,
                                     kWindowBelowAverage, kWindowPoor, kWindowVeryPoor};
constexpr MatchSearch kFastSearches[] = {MatchSearch::indexed, MatchSearch::suffixArrayOnly,
                                         MatchSearch::chainsOnly, MatchSearch::handOverEarly};

Bytes bruteForceOutput(const Bytes& source, std::int32_t window) {
    CompressorCore compressor;
    Bytes out;
    EXPECT_EQ(compressWith(compressor, MatchSearch::bruteForce, source, window, out), Status::ok);
    return out;
}

// Every fast search must give exactly the brute force's output, which restores the source.
void expectSameAsBruteForce(const Bytes& source, std::int32_t window, const std::string& what) {
    const Bytes expected = bruteForceOutput(source, window);
    Bytes restored;
    ASSERT_EQ(decompressBuffer(expected, restored), Status::ok);
    ASSERT_TRUE(restored == source) << what << " does not come back at window " << window;
    for (const MatchSearch search : kFastSearches) {
        CompressorCore compressor;
        Bytes out;
        ASSERT_EQ(compressWith(compressor, search, source, window, out), Status::ok);
        ASSERT_TRUE(out == expected) << what << " (" << source.size() << " bytes), window "
                                     << window << ", search " << static_cast<int>(search);
    }
}

// One generated source of the given family.
Bytes generated(int family, std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    switch (family % 10) {
        case 0:
            return randomBytes(size, seed, 2 + static_cast<int>(generator() % 3));
        case 1:
            return runs(size, seed);
        case 2:
            return periodic(size, 1 + generator() % 40, seed);
        case 3:
            return textLike(size, seed);
        case 4:
            return repeatedWords(size, seed, 1 + static_cast<int>(generator() % 8));
        case 7: {  // pieces of the other families, one after another
            Bytes mixed;
            while (mixed.size() < size) {
                const Bytes piece =
                    generated(static_cast<int>(generator() % 7), 1 + generator() % 120,
                              static_cast<std::uint32_t>(generator()));
                mixed.insert(mixed.end(), piece.begin(), piece.end());
            }
            mixed.resize(size);
            return mixed;
        }
        case 8:
            return repeated(static_cast<std::uint8_t>(generator()), size);
        default:
            return randomBytes(size, seed);
    }
}

TEST(FastSearchesMatchTheBruteForce, GeneratedSourcesAtEveryWindow) {
    std::mt19937 generator(2024);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        // Mostly short sources; every tenth longer, so that the windows cut in.
        const std::size_t size = 1 + generator() % (i % 10 == 9 ? 2500 : 400);
        const Bytes source = generated(static_cast<int>(i), size, i);
        const auto randomWindow = static_cast<std::int32_t>(1 + generator() % (size + 8));
        for (const std::int32_t window : {kWindowOptimal, kWindowVeryPoor, randomWindow}) {
            expectSameAsBruteForce(source, window, "source " + std::to_string(i));
        }
    }
}

// A 24-byte block, filler that none of its bytes occur in, and the block again `distance`
// positions after its first copy, for each window: one position inside, at and outside it.
TEST(FastSearchesMatchTheBruteForce, RepeatsAtTheEdgeOfEachWindow) {
    for (const std::int32_t window : kWindows) {
        for (const std::int32_t distance : {window - 1, window, window + 1}) {
            const Bytes block = randomBytes(24, static_cast<std::uint32_t>(distance), 200);
            Bytes source = block;
            const std::size_t gap = std::min<std::size_t>(
                static_cast<std::size_t>(distance) - block.size(), kMaxSourceSize - 49);
            source.insert(source.end(), gap, 0xF0);
            source.insert(source.end(), block.begin(), block.end());
            source.push_back('!');
            expectSameAsBruteForce(source, window, "repeat " + std::to_string(distance) + " back");
        }
    }
}

// Full-size sources, among them the inputs crafted against the fast searches: long chains of
// 4-byte repeats that never extend, small alphabets, runs broken by single bytes, and the
// same at the small windows where the index's window bookkeeping does the work.
TEST(FastSearchesMatchTheBruteForce, FullSizeAndCraftedSources) {
    const std::pair<const char*, Bytes> sources[] = {
        {"runs", runs(kMaxSourceSize, 31)},
        {"one byte", repeated('a', kMaxSourceSize)},
        {"period 5000", periodic(kMaxSourceSize, 5000, 33)},
        {"text", textLike(kMaxSourceSize, 34)},
        {"one word and a counter", repeatedWords(kMaxSourceSize, 35, 1)},
        {"two letters", randomBytes(kMaxSourceSize, 36, 2)},
        {"broken runs", vellicor::testdata::brokenRuns(kMaxSourceSize)},
        {"4 fixed bytes, 2 random",
         vellicor::testdata::fixedPrefixRecords(kMaxSourceSize, 4, 2, 37)},
    };
    for (const auto& [what, source] : sources) {
        for (const std::int32_t window : {kWindowOptimal, kWindowPoor, kWindowVeryPoor}) {
            expectSameAsBruteForce(source, window, what);
        }
    }
}

// One compressor for a batch: each source, longer or shorter than the one before, compresses as
// it would with a fresh compressor.
TEST(FastSearchesMatchTheBruteForce, OneCompressorForABatch) {
    const Bytes batch[] = {textLike(9000, 41),         randomBytes(300, 42, 3),  runs(5000, 43),
                           bytesOf("abcabcabcab"),     periodic(16000, 700, 44), repeated('x', 2),
                           repeatedWords(2000, 45, 2), textLike(600, 46)};
    for (const std::int32_t window : {kWindowOptimal, kWindowModerate, kWindowVeryPoor}) {
        std::vector<Bytes> expected;
        for (const Bytes& source : batch) {
            expected.push_back(bruteForceOutput(source, window));
        }
        for (const MatchSearch search : kFastSearches) {
            CompressorCore compressor;
            for (std::size_t i = 0; i < std::size(batch); ++i) {
                Bytes out;
                ASSERT_EQ(compressWith(compressor, search, batch[i], window, out), Status::ok);
                ASSERT_TRUE(out == expected[i]) << batch[i].size() << " bytes, window " << window
                                                << ", search " << static_cast<int>(search);
            }
        }
    }
}

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
    for (const MatchSearch search : kFastSearches) {
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
            for (const std::int32_t window : kWindows) {
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
