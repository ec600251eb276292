#include "lzc/naming.h"

namespace lzc {
namespace {

constexpr std::string_view kCompressedSuffix = ".lzc";

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::string compressedName(std::string_view source) {
    std::string name(source);
    name += kCompressedSuffix;
    return name;
}

bool hasCompressedSuffix(std::string_view name) {
    return name.ends_with(kCompressedSuffix);
}

std::optional<std::string> restoredName(std::string_view compressed) {
    std::size_t end = compressed.size();
    for (std::size_t removed = 0; removed < kCompressedSuffix.size(); ++removed) {
        if (end == 0) {
            return std::nullopt;
        }
        // Step back over one code point: its continuation bytes, then its lead byte.
        std::size_t start = end - 1;
        while (start > 0 && isContinuationByte(compressed[start]) && end - start < 4) {
            --start;
        }
        if (isContinuationByte(compressed[start])) {
            start = end - 1;  // no lead byte within reach: one stray byte is one character
        }
        end = start;
    }
    return std::string(compressed.substr(0, end));
}

}  // namespace lzc
