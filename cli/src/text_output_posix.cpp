#include "lzc_cli/text_output.h"

#include <cstdint>
#include <span>

#include "lzc/file_io.h"

namespace lzc::cli {

bool writeText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

int writeText(int fd, std::string_view text) {
    return fileio::writeDescriptor(
        fd, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace lzc::cli
