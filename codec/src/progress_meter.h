// The progress step shared by the compressor and the decompressor.
#pragma once

#include <cassert>
#include <cmath>
#include <cstdint>

#include "lzc/progress.h"

namespace lzc {

// Counts loop steps and, every `interval` steps, sets the bar to
// floor(trackWidth * position / inputLength) and lets the caller process its events. Without a
// track nothing is shown, and the count is not restarted either.
class ProgressMeter {
public:
    ProgressMeter(ProgressPair& pair, std::int32_t interval) : pair_(pair), interval_(interval) {}

    void step(std::int64_t position, std::int64_t inputLength) {
        ++counter_;
        if (counter_ != interval_ || !pair_.hasTrack()) {
            return;
        }
        counter_ = 0;
        show(position, inputLength);
    }

    // The last update, once the loop is over; position then stands past the end of the input,
    // so the bar comes out slightly wider than the track.
    void finish(std::int64_t position, std::int64_t inputLength) {
        if (pair_.hasTrack()) {
            show(position, inputLength);
        }
    }

private:
    void show(std::int64_t position, std::int64_t inputLength) {
        assert(inputLength > 0);
        const double width =
            std::floor(static_cast<double>(pair_.trackWidth()) * static_cast<double>(position) /
                       static_cast<double>(inputLength));
        pair_.setBarWidth(static_cast<float>(width));
        pair_.processEvents();
    }

    ProgressPair& pair_;
    std::int64_t interval_;
    std::int64_t counter_ = 0;
};

}  // namespace lzc
