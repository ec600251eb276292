// The compressor's output is the contract: these cases pin it to the byte.
#include <gtest/gtest.h>

#include "find_match.h"
#include "lzc/codec.h"
#include "lzc/format.h"
#include "test_support.h"

namespace lzc::test {
namespace {

Bytes compress(const Bytes& source, std::int32_t window = kWindowOptimal) {
    Bytes out;
    NoProgress progress;
    EXPECT_EQ(compressBuffer(source, window, out, progress), Status::ok);
    return out;
}

// A literal run of the whole source: what a source without usable repeats becomes.
Bytes literalRun(const Bytes& source) {
    Bytes out;
    appendLiteralHeader(out, static_cast<std::int32_t>(source.size()));
    out.insert(out.end(), source.begin(), source.end());
    return out;
}

TEST(CompressorOutput, RepeatedBlockThenNewByte) {
    const Bytes out = compress(bytesOf("ABCDABCDABCDABCDX"));
    const Bytes expected = {0x80, 0x04, 'A',  'B',  'C',  'D',  'A',
                            0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 'X'};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(compressionRatio(17, out.size()), 8333);
}

TEST(CompressorOutput, RunOfOneByteBecomesOverlappingMatch) {
    const Bytes out = compress(repeated('a', 16));
    const Bytes expected = {0x80, 0x01, 'a', 'a', 0x00, 0x01, 0x00, 0x0E, 0x80, 0x01, 'a'};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(compressionRatio(16, out.size()), 7058);
}

TEST(CompressorOutput, SingleByte) {
    const Bytes out = compress(bytesOf("X"));
    EXPECT_EQ(out, (Bytes{0x80, 0x01, 'X'}));
    EXPECT_EQ(compressionRatio(1, out.size()), 20000);
}

TEST(CompressorOutput, LargestRunOfOneByte) {
    const Bytes out = compress(repeated(0x61, 32767));
    const Bytes expected = {0x80, 0x01, 0x61, 0x61, 0x00, 0x01, 0x7F, 0xFD, 0x80, 0x01, 0x61};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(compressionRatio(32767, out.size()), 3);
}

TEST(CompressorThresholds, FourByteMatchDoesNotEndALiteralRun) {
    // "ABCD" recurs, but only 4 bytes of it: in literal mode that is not worth a match.
    const Bytes source = bytesOf("ABCDxABCDy");
    EXPECT_EQ(compress(source), literalRun(source));
}

TEST(CompressorThresholds, FourByteMatchFollowsAMatch) {
    // After the 8-byte match, "efgh" recurs at 5 and at 13 with 4 bytes each: in match mode a
    // 4-byte match is taken, and of two equal matches the lower position is coded.
    const Bytes out = compress(bytesOf("abcdefghabcdefghefghZ"));
    const Bytes expected = {0x80, 0x08, 'a',  'b',  'c',  'd',  'e',  'f',  'g',  'h',  'a',
                            0x00, 0x01, 0x00, 0x08, 0x00, 0x05, 0x00, 0x04, 0x80, 0x01, 'Z'};
    EXPECT_EQ(out, expected);
}

TEST(CompressorThresholds, EqualMatchesGoToTheLowestPosition) {
    // At 13, "ABCDE" is offered by the copies at 1 and at 7 alike: position 1 is coded.
    const Bytes out = compress(bytesOf("ABCDE-ABCDE+ABCDE!"));
    const Bytes expected = {0x80, 0x06, 'A',  'B', 'C', 'D',  'E',  '-',  'A',  0x00, 0x01, 0x00,
                            0x05, 0x80, 0x01, '+', 'A', 0x00, 0x01, 0x00, 0x05, 0x80, 0x01, '!'};
    EXPECT_EQ(out, expected);
}

TEST(FindMatchRules, TiesBetweenSeparateCopiesPickTheFirst) {
    CodecState state;
    const Bytes source = bytesOf("ABCDE-ABCDE+ABCDE!");
    state.buffer = Bytes{0};
    state.buffer.insert(state.buffer.end(), source.begin(), source.end());
    state.inputLength = static_cast<std::int32_t>(source.size());
    FindMatch(state, 1, 12, 13);
    EXPECT_EQ(state.matchLength, 5);
    EXPECT_EQ(state.matchPosition, 1);
}

TEST(FindMatchRules, LastByteIsNeverMatched) {
    CodecState state;
    state.buffer = Bytes{0, 'a', 'b', 'a', 'b'};
    state.inputLength = 4;
    FindMatch(state, 1, 2, 3);  // "ab" agrees through the last byte: counted one short
    EXPECT_EQ(state.matchLength, 1);
    EXPECT_EQ(state.matchPosition, 1);
    FindMatch(state, 1, 3, 4);
    EXPECT_EQ(state.matchLength, 0);
    EXPECT_EQ(state.matchPosition, 0);
}

// A block of 16 distinct bytes, `gap` unrelated random bytes, the block again and an end byte.
Bytes blockRecurringAfter(std::size_t gap) {
    Bytes block = randomBytes(16, 7);
    Bytes source = block;
    const Bytes filler = randomBytes(gap, 8);
    source.insert(source.end(), filler.begin(), filler.end());
    source.insert(source.end(), block.begin(), block.end());
    source.push_back('!');
    return source;
}

TEST(CompressorWindow, RecurrenceJustInsideTheWindowIsFound) {
    // The copy starts exactly `window` positions back: candidate 1 is the first in range.
    const Bytes source = blockRecurringAfter(kWindowVeryPoor - 16);
    const Bytes out = compress(source, kWindowVeryPoor);
    ASSERT_GT(out.size(), 1027U);
    const Bytes match(out.begin() + 1027, out.begin() + 1031);
    EXPECT_EQ(match, (Bytes{0x00, 0x01, 0x00, 0x10}));
}

TEST(CompressorWindow, RecurrenceJustBeyondTheWindowIsLiteral) {
    const Bytes source = blockRecurringAfter(kWindowVeryPoor - 15);
    EXPECT_EQ(compress(source, kWindowVeryPoor), literalRun(source));
    const Bytes optimal = compress(source, kWindowOptimal);
    EXPECT_LT(optimal.size(), source.size());
}

TEST(CompressorLimits, SizesAtAndBeyondTheFormatLimit) {
    NoProgress progress;
    Bytes out;
    EXPECT_EQ(compressBuffer(randomBytes(32767, 3), kWindowVeryPoor, out, progress), Status::ok);
    EXPECT_EQ(out.size(), 32769U);
    EXPECT_EQ(compressBuffer(randomBytes(32768, 3), kWindowVeryPoor, out, progress),
              Status::sourceTooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(compressBuffer(Bytes{}, kWindowVeryPoor, out, progress), Status::emptyInput);
}

TEST(CompressorProgress, BarFollowsThePositionEveryIntervalAndOnceAtTheEnd) {
    RecordingProgress progress(4455.0F);
    Bytes out;
    // 300 literal bytes take 301 loop iterations: the first switches to literal mode.
    ASSERT_EQ(compressBuffer(randomBytes(300, 11), kWindowOptimal, out, progress), Status::ok);
    EXPECT_EQ(progress.widths, (std::vector<float>{1900.0F, 3801.0F, 4469.0F}));
    EXPECT_EQ(progress.eventRounds, 3);
}

TEST(CompressorProgress, NoTrackShowsNothing) {
    struct Trackless : RecordingProgress {
        Trackless() : RecordingProgress(100.0F) {}
        bool hasTrack() const override { return false; }
    } progress;
    Bytes out;
    ASSERT_EQ(compressBuffer(randomBytes(1000, 11), kWindowOptimal, out, progress, 1), Status::ok);
    EXPECT_TRUE(progress.widths.empty());
    EXPECT_EQ(progress.eventRounds, 0);
}

}  // namespace
}  // namespace lzc::test
