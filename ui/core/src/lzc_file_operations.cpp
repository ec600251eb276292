// The window's file operations over lzc::compressFile and lzc::decompressFile.
#include "vellicor/file_operations.h"

namespace vellicor {
namespace {

// The window reads a linked source (its user names the one file), asks before replacing
// anything that stands at the destination, and flushes what it writes.
lzc::OperationOptions windowOptions(const ProgressReport& progress,
                                    const ReplaceQuestion& replace) {
    lzc::OperationOptions options;
    options.links = lzc::fileio::Links::follow;
    options.replace = lzc::fileio::Replace::ask;
    options.confirmReplace = replace;
    options.progress = progress;
    options.interval = lzc::kDefaultProgressInterval;  // the bar moves once every this many steps
    return options;
}

class FileLayerOperations final : public FileOperations {
public:
    lzc::Outcome compress(const std::filesystem::path& source,
                          const std::filesystem::path& destination, std::int32_t searchWindow,
                          const ProgressReport& progress, const ReplaceQuestion& replace) override {
        lzc::OperationOptions options = windowOptions(progress, replace);
        options.window = searchWindow;
        return lzc::compressFile(compressor_, lzc::Endpoint::file(source),
                                 lzc::Endpoint::file(destination), options);
    }
    lzc::Outcome decompress(const std::filesystem::path& source,
                            const std::filesystem::path& destination,
                            const ProgressReport& progress,
                            const ReplaceQuestion& replace) override {
        return lzc::decompressFile(lzc::Endpoint::file(source), lzc::Endpoint::file(destination),
                                   windowOptions(progress, replace));
    }

private:
    lzc::Compressor compressor_;  // one for every file the window compresses
};

}  // namespace

FileOperations& fileLayerOperations() {
    static FileLayerOperations operations;
    return operations;
}

}  // namespace vellicor
