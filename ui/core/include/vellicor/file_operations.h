// The two file operations the window runs, behind an interface so that tests can see which
// names and which search window reach them, and answer with any outcome.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "lzc/file_operation.h"

namespace vellicor {

// How far an operation has got: `done` of `total` (never 0), called as it runs.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;
// Asked before what stands at the destination (other bytes, a link, a FIFO) is replaced: true
// replaces it, false ends the operation with FileStatus::cancelled.
using ReplaceQuestion = std::function<bool()>;

class FileOperations {
public:
    virtual ~FileOperations() = default;
    // On success the outcome's ratio is the size figure in hundredths of a percent.
    virtual lzc::Outcome compress(const std::filesystem::path& source,
                                  const std::filesystem::path& destination,
                                  std::int32_t searchWindow, const ProgressReport& progress,
                                  const ReplaceQuestion& replace) = 0;
    virtual lzc::Outcome decompress(const std::filesystem::path& source,
                                    const std::filesystem::path& destination,
                                    const ProgressReport& progress,
                                    const ReplaceQuestion& replace) = 0;
};

// The real operations, over the file layer.
FileOperations& fileLayerOperations();

}  // namespace vellicor
