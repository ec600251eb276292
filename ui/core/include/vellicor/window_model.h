// Everything a view of the window shows, decided without a toolkit: the form's texts, the
// messages and the question, the file dialog's request, the progress bar's width and colours.
// A view draws these as they are; texts are UTF-8, in the user's language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellicor {

// A control's texts: its caption (with "&" before the mnemonic's letter; none when empty), the
// name assistive technology reads, and its description, which is also its tooltip.
struct ControlTexts {
    std::string caption;
    std::string accessibleName;
    std::string description;
};

struct FormTexts {
    std::string title;  // "Vellicor v1.0"
    ControlTexts nameBox;
    ControlTexts browseButton;
    ControlTexts compressButton;
    ControlTexts decompressButton;
    ControlTexts qualityBox;
    ControlTexts progressTrack;
    std::vector<std::string> qualityItems;  // best first
};
FormTexts formTexts();

// "Alt+C" for a caption "&compress"; empty without a mnemonic.
std::string mnemonicKey(std::string_view caption);

// A modal message box titled `title`, with OK: the information icon after a success, the
// warning icon after a failure.
struct Message {
    enum class Kind { information, warning };
    Kind kind = Kind::information;
    std::string title;
    std::string text;
    std::string details;  // under the text; none when empty
    // After a success: a button captioned `openFolder` shows `folder` in the file manager, with
    // `file` (the output) selected.
    std::string openFolder;
    std::string folder;
    std::string file;
};

// A message box with Yes and No, No the default and the answer to Escape.
struct Question {
    std::string title;
    std::string text;
    std::string details;
};

// The file-open dialog: its title, the folder it opens in and the name it shows (either may be
// empty: the toolkit's default), the filters and the one selected first.
struct FileDialogRequest {
    struct Filter {
        std::string label;    // "Compressed files (*.lzc)"
        std::string pattern;  // "*.lzc"
    };
    std::string title;
    std::string folder;
    std::string file;
    std::vector<Filter> filters;
    std::size_t selectedFilter = 0;
};

// The palette a view draws in, as it reports it.
enum class Theme { light, dark, highContrast };

// Colours a view takes from its palette (or the system's), or fixed ones.
enum class ColourRole { white, blue, black, base, highlight, mid, window, windowText };

struct ProgressColours {
    ColourRole track;
    ColourRole bar;
    ColourRole border;
};
// White track and blue bar in a light palette; the palette's own colours in a dark one; the
// system's in high contrast.
ProgressColours progressColours(Theme theme);

// The bar over the track's left end: its width in twips, and the share done in percent (what
// assistive technology reads from the track).
struct ProgressBar {
    double widthTwips = 0;
    int percent = 0;
};
// After `done` of `total` on a track `trackTwips` wide; the last report stands past the end, so
// the bar then comes out slightly wider than the track (still 100 percent).
ProgressBar progressBar(double trackTwips, std::int64_t done, std::int64_t total);

}  // namespace vellicor
