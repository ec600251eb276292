#include "lzc_cli/ratio_text.h"

#include <cassert>

namespace lzc::cli {

std::string formatRatio(std::int32_t hundredths) {
    assert(hundredths >= 0);
    std::string text = std::to_string(hundredths / 100);
    const std::int32_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text + '%';
}

}  // namespace lzc::cli
