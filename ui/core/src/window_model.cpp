#include "vellicor/window_model.h"

#include <algorithm>
#include <cmath>

#include "vellicor/decisions.h"
#include "vellicor/texts.h"

namespace vellicor {
std::string mnemonicKey(std::string_view caption) {
    const std::size_t at = caption.find('&');
    if (at == std::string_view::npos || at + 1 >= caption.size()) {
        return {};
    }
    char letter = caption[at + 1];
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    return "Alt+" + std::string(1, letter);
}

FormTexts formTexts() {
    FormTexts texts;
    texts.title = translate("vellicor::Form", "Vellicor v1.0");
    for (int index = 0; index < kQualityCount; ++index) {
        texts.qualityItems.push_back(qualityLabel(index));
    }
    texts.nameBox = {
        {},
        translate("vellicor::Form", "File name"),
        translate("vellicor::Form", "The file to compress, or the .lzc file to decompress")};
    // "..." has no letter to underline: Alt+B (browse) is its shortcut.
    texts.browseButton = {"...", translate("vellicor::Form", "Browse"),
                          translate("vellicor::Form", "Choose the file in a file dialog (Alt+B)")};
    // The shortcuts named follow the captions' underlined letters, whatever the language.
    const std::string compress = translate("vellicor::Form", "&compress");
    texts.compressButton = {
        compress, translate("vellicor::Form", "Compress"),
        withValues(translate("vellicor::Form",
                             "Compress the file into the file name followed by .lzc (%1)"),
                   {mnemonicKey(compress)})};
    const std::string decompress = translate("vellicor::Form", "&decompress");
    texts.decompressButton = {
        decompress, translate("vellicor::Form", "Decompress"),
        withValues(
            translate("vellicor::Form",
                      "Restore the .lzc file under its name without the last four characters (%1)"),
            {mnemonicKey(decompress)})};
    texts.qualityBox = {
        {},
        translate("vellicor::Form", "Quality"),
        withValues(
            translate("vellicor::Form",
                      "How far back compression looks for repeats: %1 is smallest, %2 fastest"),
            {texts.qualityItems.front(), texts.qualityItems.back()})};
    texts.progressTrack = {
        {},
        translate("vellicor::Form", "Progress"),
        translate("vellicor::Form", "How much of the current operation is done")};
    return texts;
}

ProgressColours progressColours(Theme theme) {
    switch (theme) {
        case Theme::dark:
            return {ColourRole::base, ColourRole::highlight, ColourRole::mid};
        case Theme::highContrast:
            return {ColourRole::window, ColourRole::highlight, ColourRole::windowText};
        case Theme::light:
            break;
    }
    return {ColourRole::white, ColourRole::blue, ColourRole::black};
}

ProgressBar progressBar(double trackTwips, std::int64_t done, std::int64_t total) {
    if (total <= 0 || done <= 0) {
        return {};
    }
    const double share = static_cast<double>(done) / static_cast<double>(total);
    return {std::floor(trackTwips * share),
            static_cast<int>(std::clamp(std::floor(share * 100), 0.0, 100.0))};
}

}  // namespace vellicor
