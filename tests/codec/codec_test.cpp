// The in-memory codec: the compressor's output to the byte and read back, the streams the
// decoder refuses, the size figure and progress. Round trips: match_search_test.cpp.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "lzc/codec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

Bytes operator+(Bytes left, const Bytes& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// Bytes written as hex numbers separated by spaces.
Bytes hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

constexpr std::int32_t kReadOnly = 0;  // a stream only the decoder reads
const Bytes kRefused = {};             // the source of a stream the decoder refuses

struct Golden {
    std::string name;
    Bytes source;
    std::int32_t window;
    Bytes stream;
};

// The worked vectors of docs/format.md, one a line: "window | source | stream", with "-" for a
// stream only read and "refused" for one the decoder refuses; then sources too long for it.
std::vector<Golden> goldens() {
    std::vector<Golden> all;
    std::ifstream doc(LZC_FORMAT_DOC);
    std::string line;
    while (std::getline(doc, line) && line != "```lzc-vectors") {
    }
    while (std::getline(doc, line) && line != "```") {
        std::string window, source, stream;
        std::istringstream fields(line);
        std::getline(std::getline(std::getline(fields, window, '|'), source, '|'), stream);
        if (!line.starts_with('#')) {
            all.push_back({line,
                           source.find("refused") != std::string::npos ? kRefused : hex(source),
                           window.find('-') != std::string::npos ? kReadOnly : std::stoi(window),
                           hex(stream)});
        }
    }
    EXPECT_GE(all.size(), 18U);
    // A 16-byte block that recurs 1024 (within a window of 1024) or 1025 bytes later.
    const Bytes block = randomBytes(16, 7);
    const Bytes inside = block + randomBytes(1008, 8) + block + bytesOf("!");
    const Bytes beyond = block + randomBytes(1009, 8) + block + bytesOf("!");
    const Bytes largest = randomBytes(32767, 3);
    const Bytes matchThenEnd = hex("00 01 00 10 80 01 21");
    all.insert(all.end(),
               {
                   {"longest run", repeated('a', 32767), kWindowOptimal,
                    hex("80 01 61 61 00 01 7F FD 80 01 61")},
                   {"copy a window back", inside, kWindowVeryPoor,
                    hex("84 00") + Bytes(inside.begin(), inside.begin() + 1025) + matchThenEnd},
                   {"copy beyond the window", beyond, kWindowVeryPoor, hex("84 12") + beyond},
                   {"largest source", largest, kWindowVeryPoor, hex("FF FF") + largest},
               });
    return all;
}

TEST(Codec, GoldenStreamsBothWays) {
    Compressor compressor;
    for (const Golden& golden : goldens()) {
        Bytes restored = {1};
        EXPECT_EQ(decompressBuffer(golden.stream, restored) == Status::ok,
                  golden.source != kRefused)
            << golden.name;
        EXPECT_EQ(restored, golden.source) << golden.name;
        Bytes stream;
        if (golden.window != kReadOnly) {
            EXPECT_EQ(compressor.compress(golden.source, golden.window, stream), Status::ok);
            EXPECT_EQ(stream, golden.stream) << golden.name;
        }
    }
}

TEST(Codec, SizeFigureIsFlooredHundredthsOfAPercent) {
    // Source and stream sizes of the worked examples, the longest run and the largest source.
    EXPECT_EQ(compressionRatio(17, 14), 8333);
    EXPECT_EQ(compressionRatio(16, 11), 7058);
    EXPECT_EQ(compressionRatio(1, 3), 20000);
    EXPECT_EQ(compressionRatio(32767, 11), 3);
    EXPECT_EQ(compressionRatio(32767, 32769), 10000);
}

TEST(Codec, CompressorRefusesEmptyAndOversizedSources) {
    Compressor compressor;
    Bytes out = {1};
    EXPECT_EQ(compressor.compress(Bytes{}, kWindowOptimal, out), Status::emptyInput);
    out = {1};
    EXPECT_EQ(compressor.compress(randomBytes(32768, 3), kWindowOptimal, out),
              Status::sourceTooLarge);
    EXPECT_TRUE(out.empty());
}

TEST(Codec, ProgressReportsThePositionEveryIntervalAndAtTheEnd) {
    // 50 bytes, their repeat and 200 more take 253 compressor steps: one in match mode, 50 in
    // the run, the match, then one in match mode and 200 in the last run (the 128th at 176);
    // the decoder steps once per token, here one literal byte with its filler and 199 one-byte
    // matches, 800 stream bytes.
    using Reports = std::vector<std::pair<std::int64_t, std::int64_t>>;
    Reports compressing;
    Reports decoding;
    Compressor compressor;
    Bytes out;
    Status nested = Status::ok;
    const auto compressingAgain = [&](std::int64_t done, std::int64_t total) {
        compressing.emplace_back(done, total);
        // Handed the running call's own output, the refused call leaves it alone.
        nested = compressor.compress(bytesOf("abcabc"), kWindowOptimal, out);
    };
    const Bytes half = randomBytes(50, 11);
    const Bytes source = half + half + randomBytes(200, 12);
    ASSERT_EQ(compressor.compress(source, kWindowOptimal, out, compressingAgain), Status::ok);
    EXPECT_EQ(compressing, (Reports{{176, 300}, {301, 300}}));
    EXPECT_EQ(nested, Status::busy);  // from inside its own call; usable again afterwards
    Bytes plain;
    ASSERT_EQ(Compressor().compress(source, kWindowOptimal, plain), Status::ok);
    EXPECT_EQ(out, plain);
    EXPECT_EQ(compressor.compress(bytesOf("abcabc"), kWindowOptimal, out), Status::ok);

    Bytes stream = hex("80 01 6D 6D");
    for (int match = 0; match < 199; ++match) {
        stream = stream + hex("00 01 00 01");
    }
    const auto decodingReport = [&](std::int64_t done, std::int64_t total) {
        decoding.emplace_back(done, total);
    };
    ASSERT_EQ(decompressBuffer(stream, out, decodingReport), Status::ok);
    EXPECT_EQ(decoding, (Reports{{512, 800}, {801, 800}}));
}

}  // namespace
}  // namespace lzc::test
