// How an operation shows its progress: a track whose width is the whole, a bar whose width the
// codec sets, and a chance for the caller to process pending window events.
#pragma once

#include <cstdint>

namespace lzc {

// The track and the bar that a caller hands to an operation. The codec reads the track's width,
// sets the bar's width (both in the caller's length unit) and, after each update, lets the
// caller process pending events. A caller without a track shows no progress at all.
class ProgressPair {
public:
    virtual ~ProgressPair() = default;
    virtual bool hasTrack() const = 0;
    virtual float trackWidth() const = 0;
    virtual void setBarWidth(float width) = 0;
    virtual void processEvents() = 0;
};

// No track: operations run without showing progress.
class NoProgress final : public ProgressPair {
public:
    bool hasTrack() const override { return false; }
    float trackWidth() const override { return 0.0F; }
    void setBarWidth(float) override {}
    void processEvents() override {}
};

// The interval the window uses: the bar is updated once every this many loop steps.
inline constexpr std::int32_t kDefaultProgressInterval = 128;

}  // namespace lzc
