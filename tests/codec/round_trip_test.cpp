// Every compressed output restores to exactly its source, whatever the data and the window.
#include <gtest/gtest.h>

#include <string>

#include "lzc/codec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

struct Sample {
    std::string name;
    Bytes bytes;
};

std::vector<Sample> samples() {
    return {
        {"text", textLike(6000, 1)},
        {"random", randomBytes(3000, 2)},
        {"small alphabet", randomBytes(6000, 3, 3)},
        {"two letters", randomBytes(5000, 4, 2)},
        {"runs", runs(6000, 5)},
        {"period 7", periodic(5000, 7, 6)},
        {"period 1500", periodic(6000, 1500, 7)},
        {"one byte", repeated(0, 4000)},
        {"short", bytesOf("abcab")},
    };
}

class RoundTrip : public testing::TestWithParam<std::int32_t> {};

TEST_P(RoundTrip, RestoresEverySample) {
    NoProgress progress;
    for (const Sample& sample : samples()) {
        Bytes compressed;
        ASSERT_EQ(compressBuffer(sample.bytes, GetParam(), compressed, progress), Status::ok)
            << sample.name;
        Bytes restored;
        ASSERT_EQ(decompressBuffer(compressed, restored, progress), Status::ok) << sample.name;
        EXPECT_EQ(restored, sample.bytes) << sample.name;
    }
}

INSTANTIATE_TEST_SUITE_P(AllQualityLevels, RoundTrip,
                         testing::Values(kWindowOptimal, kWindowGood, kWindowModerate,
                                         kWindowBelowAverage, kWindowPoor, kWindowVeryPoor));

TEST(RoundTripFullSize, LargestSources) {
    NoProgress progress;
    for (const Bytes& source : {textLike(32767, 9), runs(32767, 10)}) {
        Bytes compressed;
        ASSERT_EQ(compressBuffer(source, kWindowOptimal, compressed, progress), Status::ok);
        Bytes restored;
        ASSERT_EQ(decompressBuffer(compressed, restored, progress), Status::ok);
        EXPECT_EQ(restored, source);
    }
}

}  // namespace
}  // namespace lzc::test
