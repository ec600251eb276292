#include "lzc_cli/ratio_text.h"

#include <cassert>
#include <cstdio>

namespace lzc::cli {

std::string formatRatio(std::int32_t hundredths) {
    assert(hundredths >= 0);
    char text[24];
    std::snprintf(text, sizeof text, "%d.%02d%%", hundredths / 100, hundredths % 100);
    return text;
}

}  // namespace lzc::cli
