// The in-memory codec: the compressor's output to the byte and read back, the streams the
// decoder refuses, progress, and round trips.
#include <gtest/gtest.h>

#include <string>

#include "lzc/codec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

Bytes operator+(Bytes left, const Bytes& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Bytes head(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// Bytes written as pairs of hex digits, grouped by token with spaces.
Bytes hex(std::string_view digits) {
    Bytes bytes;
    std::string pair;
    for (const char digit : digits) {
        if (digit != ' ' && (pair += digit).size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
            pair.clear();
        }
    }
    return bytes;
}

// Concatenates `count` copies of `bytes`.
Bytes times(int count, const Bytes& bytes) {
    Bytes all;
    for (int i = 0; i < count; ++i) {
        all = all + bytes;
    }
    return all;
}

constexpr std::int32_t kReadOnly = 0;  // a row only the decoder reads

struct Golden {
    const char* name;
    Bytes source;
    std::int32_t window;
    Bytes stream;
    std::int32_t ratio;
};

std::vector<Golden> goldens() {
    // A 16-byte block that recurs 1024 (within a window of 1024) or 1025 bytes later.
    const Bytes block = randomBytes(16, 7);
    const Bytes inside = block + randomBytes(1008, 8) + block + bytesOf("!");
    const Bytes beyond = block + randomBytes(1009, 8) + block + bytesOf("!");
    const Bytes largest = randomBytes(32767, 3);
    const Bytes matchThenEnd = hex("00010010 8001 21");
    constexpr std::int32_t kOptimal = kWindowOptimal;
    return {
        {"block repeated", bytesOf("ABCDABCDABCDABCDX"), kOptimal,
         hex("8004 41424344 41 0001000C 8001 58"), 8333},
        {"run of one byte", repeated('a', 16), kOptimal, hex("8001 61 61 0001000E 8001 61"), 7058},
        {"one byte", bytesOf("X"), kOptimal, hex("8001 58"), 20000},
        {"longest run", repeated('a', 32767), kOptimal, hex("8001 61 61 00017FFD 8001 61"), 3},
        {"4-byte match after a match", bytesOf("abcdefghabcdefghefghZ"), kOptimal,
         hex("8008 6162636465666768 61 00010008 00050004 8001 5A"), 10454},
        {"ties to the lowest position", bytesOf("ABCDE-ABCDE+ABCDE!"), kOptimal,
         hex("8006 4142434445 2D 41 00010005 8001 2B 41 00010005 8001 21"), 13157},
        {"4-byte match in a literal run", bytesOf("ABCDxABCDy"), kOptimal,
         hex("800A") + bytesOf("ABCDxABCDy"), 11818},
        {"last byte never matched", bytesOf("abcdeabcde"), kOptimal,
         hex("800A") + bytesOf("abcdeabcde"), 11818},
        {"copy a window back", inside, kWindowVeryPoor,
         hex("8400") + head(inside, 1025) + matchThenEnd, 9932},
        {"copy beyond the window", beyond, kWindowVeryPoor, hex("8412") + beyond, 10019},
        {"same copy, wider window", beyond, kOptimal,
         hex("8401") + head(beyond, 1026) + matchThenEnd, 9932},
        {"largest source", largest, kWindowVeryPoor, hex("FFFF") + largest, 10000},
        // Streams the compressor never writes, read all the same.
        {"any filler is skipped", bytesOf("hihihi"), kReadOnly, hex("8002 6869 FF 00010004"), 0},
        {"filler after the last run", bytesOf("ok"), kReadOnly, hex("8002 6F6B 3F"), 0},
        {"high bit of a length ignored", bytesOf("zzzz"), kReadOnly, hex("8001 7A 00 00018003"), 0},
        {"match of length 0", bytesOf("qr"), kReadOnly, hex("8001 71 00 00010000 8001 72"), 0},
    };
}

TEST(Codec, GoldenStreamsBothWays) {
    NoProgress progress;
    for (const Golden& golden : goldens()) {
        Bytes restored;
        EXPECT_EQ(decompressBuffer(golden.stream, restored, progress), Status::ok) << golden.name;
        EXPECT_EQ(restored, golden.source) << golden.name;
        if (golden.window != kReadOnly) {
            Bytes stream;
            EXPECT_EQ(compressBuffer(golden.source, golden.window, stream, progress), Status::ok);
            EXPECT_EQ(stream, golden.stream) << golden.name;
            EXPECT_EQ(compressionRatio(golden.source.size(), stream.size()), golden.ratio)
                << golden.name;
        }
    }
}

TEST(Codec, RefusedInputsLeaveNoOutput) {
    const Bytes fullRun = hex("FFFF") + randomBytes(32767, 5) + hex("00");
    const Bytes bomb = hex("8001 62 62") + times(1000, hex("00017FFF"));  // 1000 x 32767 bytes
    const std::vector<std::pair<const char*, Bytes>> malformed = {
        {"match at position 0", hex("8001 61 00 00000004")},
        {"match beyond the restored bytes", hex("8001 61 00 00020001")},
        {"match before anything is restored", hex("00010001")},
        {"match token cut off", hex("8001 61 00 000100")},
        {"literal header cut off", hex("8001 61 00 80")},
        {"literal bytes run past the end", hex("8005 616263")},
        {"a match restores byte 32768", fullRun + hex("00010001")},
        {"a literal restores byte 32768", fullRun + hex("8001 78")},
        {"a small stream expands without bound", bomb},
    };
    NoProgress progress;
    Bytes out = {1};
    for (const auto& [defect, stream] : malformed) {
        EXPECT_EQ(decompressBuffer(stream, out, progress), Status::invalidStream) << defect;
        EXPECT_TRUE(out.empty()) << defect;
    }
    EXPECT_EQ(decompressBuffer(Bytes{}, out, progress), Status::emptyInput);
    EXPECT_EQ(compressBuffer(Bytes{}, kWindowOptimal, out, progress), Status::emptyInput);
    out = {1};
    EXPECT_EQ(compressBuffer(randomBytes(32768, 3), kWindowOptimal, out, progress),
              Status::sourceTooLarge);
    EXPECT_TRUE(out.empty());
}

TEST(Codec, ProgressBarFollowsThePosition) {
    // 300 literal bytes take 301 compressor steps; the decoder steps once per token, here one
    // literal byte with its filler and 199 one-byte matches, 800 stream bytes.
    RecordingProgress compressing(4455.0F);
    RecordingProgress decoding(800.0F);
    const Bytes stream = hex("8001 6D 6D") + times(199, hex("00010001"));
    Bytes out;
    ASSERT_EQ(compressBuffer(randomBytes(300, 11), kWindowOptimal, out, compressing), Status::ok);
    EXPECT_EQ(compressing.widths, (std::vector<float>{1900.0F, 3801.0F, 4469.0F}));
    EXPECT_EQ(compressing.eventRounds, 3);
    ASSERT_EQ(decompressBuffer(stream, out, decoding), Status::ok);
    EXPECT_EQ(decoding.widths, (std::vector<float>{512.0F, 801.0F}));
}

class RoundTrip : public testing::TestWithParam<std::int32_t> {};

TEST_P(RoundTrip, RestoresEverySource) {
    NoProgress progress;
    for (const Bytes& source :
         {textLike(32767, 1), randomBytes(3000, 2), randomBytes(6000, 3, 3), runs(32767, 5),
          periodic(6000, 1500, 7), repeated(0, 4000), bytesOf("abcab")}) {
        Bytes compressed;
        Bytes restored;
        ASSERT_EQ(compressBuffer(source, GetParam(), compressed, progress), Status::ok);
        ASSERT_EQ(decompressBuffer(compressed, restored, progress), Status::ok);
        EXPECT_EQ(restored, source);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, RoundTrip,
                         testing::Values(kWindowOptimal, kWindowGood, kWindowModerate,
                                         kWindowBelowAverage, kWindowPoor, kWindowVeryPoor));

}  // namespace
}  // namespace lzc::test
