#include "lzc_cli/text_output.h"

namespace lzc::cli {

bool writeText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace lzc::cli
