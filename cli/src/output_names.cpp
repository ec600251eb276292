#include "lzc_cli/output_names.h"

#include <filesystem>

namespace lzc::cli {

OutputName compressedName(const std::string& input, bool force) {
    if (input.ends_with(kSuffix) && !force) {
        return {{}, "already ends in .lzc (use -f to compress it again)"};
    }
    return {input + std::string(kSuffix), {}};
}

OutputName restoredName(const std::string& input) {
    if (!input.ends_with(kSuffix)) {
        return {{}, "does not end in .lzc (name the output with -o or write it with -c)"};
    }
    std::string name = input.substr(0, input.size() - kSuffix.size());
    if (std::filesystem::path(name).filename().empty()) {
        return {{}, "no name is left without .lzc (name the output with -o or write it with -c)"};
    }
    return {std::move(name), {}};
}

}  // namespace lzc::cli
