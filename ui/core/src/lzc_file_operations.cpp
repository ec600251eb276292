// The window's file operations over lzc::compressFile and lzc::decompressFile.
#include "vellicor/file_operations.h"

namespace vellicor {
namespace {

// The bar moves once every this many steps of an operation.
constexpr std::int32_t kProgressInterval = lzc::kDefaultProgressInterval;

class FileLayerOperations final : public FileOperations {
public:
    lzc::Outcome compress(const std::filesystem::path& source,
                          const std::filesystem::path& destination, std::int32_t window,
                          const ProgressReport& progress, const ReplaceQuestion& replace) override {
        return lzc::compressFile(source, destination, progress, kProgressInterval, window, {},
                                 replace);
    }
    lzc::Outcome decompress(const std::filesystem::path& source,
                            const std::filesystem::path& destination,
                            const ProgressReport& progress,
                            const ReplaceQuestion& replace) override {
        return lzc::decompressFile(source, destination, progress, kProgressInterval, {}, replace);
    }
};

}  // namespace

FileOperations& fileLayerOperations() {
    static FileLayerOperations operations;
    return operations;
}

}  // namespace vellicor
