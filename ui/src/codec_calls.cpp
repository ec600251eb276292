#include "vellicor/codec_calls.h"

namespace vellicor {

lzc::Outcome LzcCodecCalls::compress(const std::string& source, const std::string& destination,
                                     const lzc::ProgressCallback& progress, std::int32_t interval,
                                     std::int32_t window,
                                     const lzc::ConfirmReplace& confirmReplace) {
    return lzc::compressFile(source, destination, progress, interval, window, {}, confirmReplace);
}

lzc::Outcome LzcCodecCalls::decompress(const std::string& source, const std::string& destination,
                                       const lzc::ProgressCallback& progress, std::int32_t interval,
                                       const lzc::ConfirmReplace& confirmReplace) {
    return lzc::decompressFile(source, destination, progress, interval, {}, confirmReplace);
}

}  // namespace vellicor
