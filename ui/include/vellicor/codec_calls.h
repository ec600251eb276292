// The two codec operations the window runs, behind an interface so that tests can see which
// names and which search window reach the codec, and answer with any outcome.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lzc/file_operation.h"

namespace lzc {
// Asked before something that stands at the destination is replaced.
using ConfirmReplace = std::function<bool()>;
}  // namespace lzc

namespace vellicor {

class CodecCalls {
public:
    virtual ~CodecCalls() = default;
    // On success the outcome's ratio is the size figure in hundredths of a percent.
    // `confirmReplace` is asked before an existing destination with other bytes is replaced.
    virtual lzc::Outcome compress(const std::string& source, const std::string& destination,
                                  const lzc::ProgressCallback& progress, std::int32_t interval,
                                  std::int32_t window,
                                  const lzc::ConfirmReplace& confirmReplace) = 0;
    virtual lzc::Outcome decompress(const std::string& source, const std::string& destination,
                                    const lzc::ProgressCallback& progress, std::int32_t interval,
                                    const lzc::ConfirmReplace& confirmReplace) = 0;
};

// lzc::compressFile and lzc::decompressFile.
class LzcCodecCalls final : public CodecCalls {
public:
    lzc::Outcome compress(const std::string& source, const std::string& destination,
                          const lzc::ProgressCallback& progress, std::int32_t interval,
                          std::int32_t window, const lzc::ConfirmReplace& confirmReplace) override;
    lzc::Outcome decompress(const std::string& source, const std::string& destination,
                            const lzc::ProgressCallback& progress, std::int32_t interval,
                            const lzc::ConfirmReplace& confirmReplace) override;

private:
    lzc::Compressor compressor_;  // one for every file the window compresses
};

}  // namespace vellicor
