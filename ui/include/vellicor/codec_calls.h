// The two codec operations the window runs, behind an interface so that tests can see which
// names and which search window reach the codec.
#pragma once

#include <cstdint>
#include <string>

#include "lzc/progress.h"

namespace vellicor {

class CodecCalls {
public:
    virtual ~CodecCalls() = default;
    // The ratio in hundredths of a percent, or -1.
    virtual std::int32_t compress(const std::string& source, const std::string& destination,
                                  lzc::ProgressPair& progress, std::int32_t interval,
                                  std::int32_t window) = 0;
    // 0, or -1.
    virtual std::int32_t decompress(const std::string& source, const std::string& destination,
                                    lzc::ProgressPair& progress, std::int32_t interval) = 0;
};

// lzc::Compress and lzc::Decompress.
class LzcCodecCalls final : public CodecCalls {
public:
    std::int32_t compress(const std::string& source, const std::string& destination,
                          lzc::ProgressPair& progress, std::int32_t interval,
                          std::int32_t window) override;
    std::int32_t decompress(const std::string& source, const std::string& destination,
                            lzc::ProgressPair& progress, std::int32_t interval) override;
};

}  // namespace vellicor
