#include "vellicor/decisions.h"

#include <cstdlib>

#include "lzc/naming.h"

namespace vellicor {
namespace {

bool isListIndex(int index) {
    return index >= 0 && index < kQualityCount;
}

}  // namespace

std::string_view qualityLabel(int index) {
    return isListIndex(index) ? lzc::kQualityLevels[static_cast<std::size_t>(index)].label
                              : std::string_view();
}

int qualityIndex(const QualityBox& box) {
    return isListIndex(box.index) && box.text == qualityLabel(box.index) ? box.index : -1;
}

QualityChoice chooseQuality(int index) {
    if (!isListIndex(index)) {
        return QualityChoice{lzc::kWindowVeryPoor, true};
    }
    return QualityChoice{lzc::kQualityLevels[static_cast<std::size_t>(index)].window, false};
}

std::optional<std::string> decompressionDestination(std::string_view source) {
    std::optional<std::string> name = lzc::restoredName(source);
    if (name && name->empty()) {
        return std::nullopt;
    }
    return name;
}

std::string ratioText(std::int32_t ratio) {
    // r / 100 has at most two decimals, so integer arithmetic gives its exact digits.
    const std::int64_t magnitude = std::llabs(std::int64_t{ratio});
    const std::int64_t whole = magnitude / 100;
    const std::int64_t hundredths = magnitude % 100;
    std::string text = ratio < 0 ? "-" : " ";
    if (whole > 0) {
        text += std::to_string(whole);
    }
    if (hundredths != 0) {
        text += '.';
        if (hundredths % 10 == 0) {
            text += std::to_string(hundredths / 10);
        } else {
            text += static_cast<char>('0' + hundredths / 10);
            text += static_cast<char>('0' + hundredths % 10);
        }
    } else if (whole == 0) {
        text += '0';
    }
    return text;
}

std::string compressionMessage(std::int32_t result) {
    if (result < 0) {
        return "An error has occured during compression";
    }
    return "Compressed Size:" + ratioText(result) + '%';
}

std::string decompressionMessage(std::int32_t result) {
    if (result != 0) {
        return "An error has occured during (de)compression";
    }
    return "Successfully decompressed";
}

}  // namespace vellicor
