// The greedy compressor.
//
// Algorithm: walk the source from position 1 with a two-state policy. In match mode, a match of
// 4 or more bytes is written as a match token and the position jumps past it; anything shorter
// starts a literal run at the current position and switches to literal mode without moving, so
// the same position is searched again. In literal mode, a match of 5 or more bytes closes the
// pending run (its bytes plus the filler byte, which is the first byte the match reproduces),
// writes the match and returns to match mode; anything shorter adds the byte to the run. Since
// no match covers the last source byte, every non-empty source ends in a literal run without a
// filler byte.
//
// The output is fixed to the byte by this policy and by the search's tie-breaking rules.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "lzc/codec.h"
#include "match_finder.h"
#include "progress_meter.h"
#include "stream_tokens.h"

namespace lzc {
namespace {

constexpr std::int32_t kRatioSaturated = std::numeric_limits<std::int32_t>::max();

// The shortest match each mode acts on.
constexpr std::int32_t kShortestAfterMatch = 4;
constexpr std::int32_t kShortestAfterLiteral = 5;

// The source is not copied into state.buffer: the match finder reads it where it lies.
void runCompressor(std::span<const std::uint8_t> source, CodecState& state, std::int32_t window,
                   std::vector<std::uint8_t>& out, ProgressMeter& meter, MatchFinder& finder) {
    const std::int32_t length = state.inputLength;
    // Source bytes first ... last, counted from 1.
    auto appendBytes = [&](std::int32_t first, std::int32_t last) {
        out.insert(out.end(), source.begin() + (first - 1), source.begin() + last);
    };

    std::int32_t runStart = 1;
    bool matchMode = true;
    state.position = 1;
    while (state.position <= length) {
        const std::int32_t cur = state.position;
        // Candidates are the `window` positions before cur, never before position 1.
        const auto searchStart =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{cur} - window, 1, cur));
        finder.find(state, searchStart, cur - 1, cur,
                    matchMode ? kShortestAfterMatch : kShortestAfterLiteral);

        if (!matchMode) {
            if (state.matchLength >= kShortestAfterLiteral) {
                // Close the run with its filler byte, then write the match.
                const std::int32_t n = cur - runStart;
                appendLiteralHeader(out, n);
                appendBytes(runStart, cur);
                appendMatch(out, state.matchPosition, state.matchLength);
                state.position += state.matchLength;
                matchMode = true;
            } else {
                state.position += 1;
            }
        } else if (state.matchLength >= kShortestAfterMatch) {
            // One match follows another.
            appendMatch(out, state.matchPosition, state.matchLength);
            state.position += state.matchLength;
        } else {
            // A run starts here; the next iteration searches this position again.
            runStart = cur;
            matchMode = false;
        }
        meter.step(state.position, length);
    }

    if (!matchMode) {
        appendLiteralHeader(out, state.position - runStart);
        appendBytes(runStart, state.position - 1);
    }
    meter.finish(state.position, length);
}

// Marks a compressor as running for the length of one call.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

Status compressWith(CompressorCore& compressor, MatchSearch search,
                    std::span<const std::uint8_t> source, std::int32_t window,
                    std::vector<std::uint8_t>& out, const ProgressCallback& progress,
                    std::int32_t interval) {
    // Refused before `out` is touched: it may be the running call's own output.
    if (compressor.running) {
        return Status::busy;
    }
    out.clear();
    if (source.empty()) {
        return Status::emptyInput;
    }
    if (source.size() > static_cast<std::size_t>(kMaxSourceSize)) {
        return Status::sourceTooLarge;
    }
    const RunningFlag running(compressor.running);
    try {
        CodecState state;
        state.inputLength = static_cast<std::int32_t>(source.size());
        // Worst case: a 1-byte run, its filler and a 4-byte match for every 5 source bytes.
        out.reserve(source.size() * 2 + kLiteralHeaderSize);

        ProgressMeter meter(progress, interval);
        MatchFinder finder(source, search, compressor.memory);
        runCompressor(source, state, window, out, meter, finder);
    } catch (const std::bad_alloc&) {
        out.clear();
        return Status::outOfMemory;
    }
    return Status::ok;
}

Compressor::Compressor() = default;
Compressor::~Compressor() = default;
Compressor::Compressor(Compressor&&) noexcept = default;
Compressor& Compressor::operator=(Compressor&&) noexcept = default;

Status Compressor::compress(std::span<const std::uint8_t> source, std::int32_t window,
                            std::vector<std::uint8_t>& out, const ProgressCallback& progress,
                            std::int32_t interval) {
    if (!core_) {
        out.clear();
        try {
            core_ = std::make_unique<CompressorCore>();
        } catch (const std::bad_alloc&) {
            return Status::outOfMemory;
        }
    }
    return compressWith(*core_, MatchSearch::indexed, source, window, out, progress, interval);
}

std::int32_t compressionRatio(std::size_t sourceSize, std::size_t compressedSize) {
    const double ratio =
        static_cast<double>(compressedSize + 1) / static_cast<double>(sourceSize + 1);
    const double figure = std::floor(ratio * 10000.0);
    // Only a stream far larger than what it restores (zero-length tokens) gets this far.
    return figure >= static_cast<double>(kRatioSaturated) ? kRatioSaturated
                                                          : static_cast<std::int32_t>(figure);
}

}  // namespace lzc
