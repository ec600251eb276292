// The fast searches against the brute force: whole compressed outputs, byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lzc/codec.h"
#include "lzc/format.h"
#include "test_support.h"

namespace lzc::test {
namespace {

constexpr std::int32_t kWindows[] = {kWindowOptimal,      kWindowGood, kWindowModerate,
                                     kWindowBelowAverage, kWindowPoor, kWindowVeryPoor};

const char* nameOf(MatchSearch search) {
    switch (search) {
        case MatchSearch::bruteForce:
            return "brute force";
        case MatchSearch::indexed:
            return "indexed";
        case MatchSearch::suffixArrayOnly:
            return "suffix array only";
        case MatchSearch::chainsOnly:
            return "chains only";
    }
    return "?";
}

// Every fast search must give exactly the brute force's output. Returns false on the first
// difference, after reporting it.
bool sameAsBruteForce(const Bytes& source, std::int32_t window, const std::string& what) {
    NoProgress progress;
    Bytes expected;
    if (compressBuffer(source, window, expected, progress, kDefaultProgressInterval,
                       MatchSearch::bruteForce) != Status::ok) {
        ADD_FAILURE() << what << ": the brute force failed";
        return false;
    }
    for (const MatchSearch search :
         {MatchSearch::indexed, MatchSearch::suffixArrayOnly, MatchSearch::chainsOnly}) {
        Bytes out;
        const Status status =
            compressBuffer(source, window, out, progress, kDefaultProgressInterval, search);
        if (status != Status::ok || out != expected) {
            ADD_FAILURE() << what << " (" << source.size() << " bytes), window " << window << ": "
                          << nameOf(search) << " differs from the brute force";
            return false;
        }
    }
    return true;
}

// One generated source of the given family.
Bytes generated(int family, std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    switch (family % 10) {
        case 0:
            return randomBytes(size, seed);
        case 1:
            return randomBytes(size, seed, 2 + static_cast<int>(generator() % 3));
        case 2:
            return runs(size, seed);
        case 3:
            return periodic(size, 1 + generator() % 40, seed);
        case 4:
            return textLike(size, seed);
        case 5:
            return repeatedWords(size, seed);
        case 6:
            return deBruijn(size, 2 + static_cast<int>(generator() % 3), 4);
        case 7:
            return nearCopies(size, 8 + generator() % 60, seed);
        case 8: {
            // Pieces of the other families, one after another.
            Bytes mixed;
            while (mixed.size() < size) {
                const Bytes piece =
                    generated(static_cast<int>(generator() % 8), 1 + generator() % 120,
                              static_cast<std::uint32_t>(generator()));
                mixed.insert(mixed.end(), piece.begin(), piece.end());
            }
            mixed.resize(size);
            return mixed;
        }
        default:
            return repeated(static_cast<std::uint8_t>(generator()), size);
    }
}

TEST(FastSearchesMatchTheBruteForce, GeneratedSourcesAtEveryWindow) {
    std::mt19937 generator(2024);
    for (std::uint32_t i = 0; i < 2000; ++i) {
        // Mostly short sources; every tenth longer, so that the windows cut in.
        const std::size_t size = 1 + generator() % (i % 10 == 9 ? 2500 : 400);
        const Bytes source = generated(static_cast<int>(i), size, i);
        const std::string what = "source " + std::to_string(i);
        for (const std::int32_t window : kWindows) {
            ASSERT_TRUE(sameAsBruteForce(source, window, what));
        }
        const auto randomWindow = static_cast<std::int32_t>(1 + generator() % (size + 8));
        ASSERT_TRUE(sameAsBruteForce(source, randomWindow, what));
    }
}

// A block of 24 bytes, filler, and the block again `distance` positions after its first copy;
// a third copy `distance` further on when it fits.
Bytes blockAtDistance(std::int32_t distance, std::uint32_t seed, bool randomFiller) {
    const Bytes block = randomBytes(24, seed, 200);
    const std::size_t gap = static_cast<std::size_t>(distance) - block.size();
    Bytes source = block;
    for (int copy = 0; copy < 2; ++copy) {
        const Bytes filler = randomFiller ? randomBytes(gap, seed + 1)
                                          : repeated(0xF0, gap);  // not among the block's bytes
        if (source.size() + gap + block.size() + 1 > static_cast<std::size_t>(kMaxSourceSize)) {
            break;
        }
        source.insert(source.end(), filler.begin(), filler.end());
        source.insert(source.end(), block.begin(), block.end());
    }
    source.push_back('!');
    return source;
}

TEST(FastSearchesMatchTheBruteForce, RepeatsJustInsideAndJustOutsideEachWindow) {
    for (const std::int32_t window : kWindows) {
        // The largest window reaches back to position 1 of any source: no repeat lies beyond.
        const std::int32_t farthest = kMaxSourceSize - 25;
        for (const std::int32_t distance : {window - 1, window, window + 1}) {
            if (distance > farthest) {
                continue;
            }
            const Bytes source = blockAtDistance(distance, static_cast<std::uint32_t>(distance),
                                                 window <= kWindowPoor);
            ASSERT_TRUE(
                sameAsBruteForce(source, window, "repeat " + std::to_string(distance) + " back"));
        }
        if (window > farthest) {
            ASSERT_TRUE(sameAsBruteForce(blockAtDistance(farthest, 1, false), window,
                                         "repeat across the whole source"));
        }
    }
}

TEST(FastSearchesMatchTheBruteForce, FullSizeSources) {
    const std::vector<std::pair<std::string, Bytes>> sources = {
        {"runs", runs(kMaxSourceSize, 31)},
        {"one byte", repeated('a', kMaxSourceSize)},
        {"period 7", periodic(kMaxSourceSize, 7, 32)},
        {"period 5000", periodic(kMaxSourceSize, 5000, 33)},
    };
    for (const auto& [what, source] : sources) {
        ASSERT_TRUE(sameAsBruteForce(source, kWindowOptimal, what));
        ASSERT_TRUE(sameAsBruteForce(source, kWindowVeryPoor, what));
    }
    ASSERT_TRUE(sameAsBruteForce(textLike(kMaxSourceSize, 34), kWindowVeryPoor, "text"));
    ASSERT_TRUE(sameAsBruteForce(repeatedWords(kMaxSourceSize, 35), kWindowVeryPoor, "words"));
}

TEST(FastSearchesMatchTheBruteForce, SourcesWhereTheChainsGiveUp) {
    // Long chains of short repeats use up the chain walk's allowance part way through (after
    // about 1300 bytes for one recurring word, 6000 for two letters); the suffix-array index
    // then takes over from that position.
    for (std::uint32_t seed = 0; seed < 4; ++seed) {
        const Bytes oneWord = repeatedWords(3000, seed, 1);
        for (const std::int32_t window : {kWindowOptimal, kWindowPoor, kWindowVeryPoor}) {
            ASSERT_TRUE(sameAsBruteForce(oneWord, window, "one word"));
        }
    }
    ASSERT_TRUE(sameAsBruteForce(randomBytes(8000, 5, 2), kWindowOptimal, "two letters"));
}

}  // namespace
}  // namespace lzc::test
