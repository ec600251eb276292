// The progress step shared by the compressor and the decompressor.
#pragma once

#include <cstdint>

#include "lzc/progress.h"

namespace lzc {

// Counts loop steps and calls the callback every `interval` of them, and once at the end.
class ProgressMeter {
public:
    ProgressMeter(const ProgressCallback& callback, std::int32_t interval)
        : callback_(callback), interval_(interval) {}

    void step(std::int64_t done, std::int64_t total) {
        if (++counter_ == interval_ && callback_) {
            counter_ = 0;
            callback_(done, total);
        }
    }

    void finish(std::int64_t done, std::int64_t total) {
        if (callback_) {
            callback_(done, total);
        }
    }

private:
    const ProgressCallback& callback_;
    std::int64_t interval_;
    std::int64_t counter_ = 0;
};

}  // namespace lzc
