#include "vellicor/codec_calls.h"

#include "lzc/lzcodec.h"

namespace vellicor {

std::int32_t LzcCodecCalls::compress(const std::string& source, const std::string& destination,
                                     lzc::ProgressPair& progress, std::int32_t interval,
                                     std::int32_t window) {
    return lzc::Compress(source, destination, progress, interval, window);
}

std::int32_t LzcCodecCalls::decompress(const std::string& source, const std::string& destination,
                                       lzc::ProgressPair& progress, std::int32_t interval) {
    return lzc::Decompress(source, destination, progress, interval);
}

}  // namespace vellicor
