#include "vellicor/codec_calls.h"

namespace vellicor {
namespace {

// The window reads a linked source (its user names the one file), asks before replacing
// anything, and flushes what it writes.
lzc::OperationOptions windowOptions(const lzc::ProgressCallback& progress, std::int32_t interval,
                                    const lzc::ConfirmReplace& confirmReplace) {
    lzc::OperationOptions options;
    options.links = lzc::fileio::Links::follow;
    options.replace = lzc::fileio::Replace::ask;
    options.confirmReplace = confirmReplace;
    options.progress = progress;
    options.interval = interval;
    return options;
}

}  // namespace

lzc::Outcome LzcCodecCalls::compress(const std::string& source, const std::string& destination,
                                     const lzc::ProgressCallback& progress, std::int32_t interval,
                                     std::int32_t window,
                                     const lzc::ConfirmReplace& confirmReplace) {
    lzc::OperationOptions options = windowOptions(progress, interval, confirmReplace);
    options.window = window;
    return lzc::compressFile(compressor_, lzc::Endpoint::file(source),
                             lzc::Endpoint::file(destination), options);
}

lzc::Outcome LzcCodecCalls::decompress(const std::string& source, const std::string& destination,
                                       const lzc::ProgressCallback& progress, std::int32_t interval,
                                       const lzc::ConfirmReplace& confirmReplace) {
    return lzc::decompressFile(lzc::Endpoint::file(source), lzc::Endpoint::file(destination),
                               windowOptions(progress, interval, confirmReplace));
}

}  // namespace vellicor
