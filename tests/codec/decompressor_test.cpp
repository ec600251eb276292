#include <gtest/gtest.h>

#include "lzc/codec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

Status decompress(const Bytes& stream, Bytes& out) {
    NoProgress progress;
    return decompressBuffer(stream, out, progress);
}

// The format's worked vectors (docs/format.md, format_doc_test.cpp) cover single tokens, the
// filler byte, zero-length and overlapping matches, and the refusals of malformed streams.

TEST(DecoderRefuses, OutputBeyondTheFormatLimit) {
    // A full-size literal run, then one more byte copied: 32768 bytes.
    Bytes stream = {0xFF, 0xFF};
    const Bytes literal = randomBytes(32767, 5);
    stream.insert(stream.end(), literal.begin(), literal.end());
    stream.push_back(0);
    Bytes out;
    ASSERT_EQ(decompress(stream, out), Status::ok);
    EXPECT_EQ(out, literal);

    for (const Bytes& tail : {Bytes{0x00, 0x01, 0x00, 0x01}, Bytes{0x80, 0x01, 'x'}}) {
        Bytes longer = stream;
        longer.insert(longer.end(), tail.begin(), tail.end());
        EXPECT_EQ(decompress(longer, out), Status::invalidStream);
    }
    // A small stream that would expand without bound: one byte, then 0x7FFF copies of it.
    Bytes bomb = {0x80, 0x01, 'b', 'b'};
    for (int i = 0; i < 1000; ++i) {
        bomb.insert(bomb.end(), {0x00, 0x01, 0x7F, 0xFF});
    }
    EXPECT_EQ(decompress(bomb, out), Status::invalidStream);
}

TEST(DecoderProgress, BarFollowsThePositionInTheCompressedStream) {
    // One literal byte with its filler, then 199 one-byte matches: 800 stream bytes in 200
    // tokens. The 128th token ends at stream position 4 + 127 * 4 = 512.
    Bytes stream = {0x80, 0x01, 'm', 'm'};
    for (int i = 0; i < 199; ++i) {
        stream.insert(stream.end(), {0x00, 0x01, 0x00, 0x01});
    }
    RecordingProgress progress(800.0F);
    Bytes out;
    ASSERT_EQ(decompressBuffer(stream, out, progress, 128), Status::ok);
    EXPECT_EQ(out, repeated('m', 200));
    EXPECT_EQ(progress.widths, (std::vector<float>{512.0F, 801.0F}));
}

}  // namespace
}  // namespace lzc::test
