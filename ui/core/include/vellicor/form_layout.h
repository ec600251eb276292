// The form in twips, 1440 to the inch, and its placement in pixels at a screen's DPI (15 twips
// to the pixel at 96 DPI).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellicor {

inline constexpr int kTwipsPerInch = 1440;

struct Size {
    int width = 0;
    int height = 0;
};

// Left, top, width and height; right and bottom are the last column and row inside.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width - 1; }
    int bottom() const { return top + height - 1; }
};

// The placed controls, row by row, in the order of the tables below.
enum class FormControl : std::size_t {
    nameBox,
    browseButton,
    compressButton,
    decompressButton,
    qualityBox,
    progressTrack,
};
inline constexpr std::size_t kFormControlCount = 6;

inline constexpr Size kClientTwips{4680, 1440};
inline constexpr std::array<Rect, kFormControlCount> kControlTwips{{
    {120, 120, 3975, 375},
    {4200, 120, 375, 375},
    {120, 600, 1575, 375},
    {1800, 600, 1455, 375},
    {3360, 600, 1215, 315},
    {120, 1080, 4455, 255},
}};

// Twips to pixels at `dpi`, rounded down.
int twipsToPixels(double twips, double dpi);
Rect twipsToPixels(const Rect& twips, double dpi);

struct FormPlacement {
    std::array<Rect, kFormControlCount> controls;
    Size client;
};

// The controls at their twips at `dpi`. Where a control needs more room than that (`needed`, in
// pixels), it grows and pushes the rest of its row right and the rows below it down; the first
// control of each row (the quality box in the middle row) then takes up any width left over,
// so the rows keep a common right edge. The margins right of and below the controls stay.
FormPlacement placeControls(double dpi, const std::array<Size, kFormControlCount>& needed);

}  // namespace vellicor
