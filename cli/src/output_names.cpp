#include "lzc_cli/output_names.h"

#include <filesystem>

#include "lzc/naming.h"

namespace lzc::cli {

OutputName compressedName(const std::string& input, bool force) {
    if (hasCompressedSuffix(input) && !force) {
        return {{}, "already ends in .lzc (use -f to compress it again)"};
    }
    return {lzc::compressedName(input), {}};
}

OutputName restoredName(const std::string& input) {
    if (!hasCompressedSuffix(input)) {
        return {{}, "does not end in .lzc (name the output with -o or write it with -c)"};
    }
    // The suffix is four ASCII characters, so a name is always left.
    std::string name = *lzc::restoredName(input);
    if (std::filesystem::path(name).filename().empty()) {
        return {{}, "no name is left without .lzc (name the output with -o or write it with -c)"};
    }
    return {std::move(name), {}};
}

}  // namespace lzc::cli
