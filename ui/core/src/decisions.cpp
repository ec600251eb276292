#include "vellicor/decisions.h"

#include <array>
#include <cstdlib>

#include "lzc/naming.h"
#include "vellicor/texts.h"

namespace vellicor {
namespace {

// The labels once more, for lupdate, in the list's order.
constexpr const char* kQualityContext = "vellicor::Quality";
constexpr std::array<const char*, kQualityCount> kQualityTexts{
    QT_TRANSLATE_NOOP("vellicor::Quality", "Optimal"),
    QT_TRANSLATE_NOOP("vellicor::Quality", "Good"),
    QT_TRANSLATE_NOOP("vellicor::Quality", "Moderate"),
    QT_TRANSLATE_NOOP("vellicor::Quality", "Below average"),
    QT_TRANSLATE_NOOP("vellicor::Quality", "Poor"),
    QT_TRANSLATE_NOOP("vellicor::Quality", "Very Poor!"),
};
constexpr bool marksEveryLabel() {
    for (std::size_t index = 0; index < kQualityTexts.size(); ++index) {
        if (std::string_view(kQualityTexts[index]) != lzc::kQualityLevels[index].label) {
            return false;
        }
    }
    return true;
}
static_assert(marksEveryLabel(), "the marked labels are the quality list's");

bool isListIndex(int index) {
    return index >= 0 && index < kQualityCount;
}

}  // namespace

std::string qualityLabel(int index) {
    return isListIndex(index)
               ? translate(kQualityContext, kQualityTexts[static_cast<std::size_t>(index)])
               : std::string();
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
        return translate("vellicor::Messages", "An error has occured during compression");
    }
    // %1 starts with a space: "Compressed Size: 83.33%".
    return withValues(translate("vellicor::Messages", "Compressed Size:%1%"), {ratioText(result)});
}

std::string decompressionMessage(std::int32_t result) {
    if (result != 0) {
        return translate("vellicor::Messages", "An error has occured during (de)compression");
    }
    return translate("vellicor::Messages", "Successfully decompressed");
}

}  // namespace vellicor
