#include "vellicor/form_layout.h"

#include <algorithm>
#include <cmath>

namespace vellicor {

int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::floor(twips * dpi / kTwipsPerInch));
}

Rect twipsToPixels(const Rect& twips, double dpi) {
    return {twipsToPixels(twips.left, dpi), twipsToPixels(twips.top, dpi),
            twipsToPixels(twips.width, dpi), twipsToPixels(twips.height, dpi)};
}

FormPlacement placeControls(double dpi, const std::array<Size, kFormControlCount>& needed) {
    // The controls [first, last) and the one that takes up the spare width.
    struct Row {
        std::size_t first;
        std::size_t last;
        std::size_t stretching;
    };
    constexpr std::array<Row, 3> kRows{{{0, 2, 0}, {2, 5, 4}, {5, 6, 5}}};

    FormPlacement placement;
    auto& placed = placement.controls;
    int down = 0;
    int right = 0;
    for (const Row& row : kRows) {
        int across = 0;
        int bottomBefore = 0;
        int bottomAfter = 0;
        for (std::size_t control = row.first; control < row.last; ++control) {
            Rect rect = twipsToPixels(kControlTwips[control], dpi);
            rect.left += across;
            rect.top += down;
            bottomBefore = std::max(bottomBefore, rect.bottom());
            rect.width = std::max(rect.width, needed[control].width);
            rect.height = std::max(rect.height, needed[control].height);
            across += rect.width - twipsToPixels(kControlTwips[control].width, dpi);
            bottomAfter = std::max(bottomAfter, rect.bottom());
            right = std::max(right, rect.right());
            placed[control] = rect;
        }
        down += bottomAfter - bottomBefore;
    }
    for (const Row& row : kRows) {
        const int spare = right - placed[row.last - 1].right();
        placed[row.stretching].width += spare;
        for (std::size_t control = row.stretching + 1; control < row.last; ++control) {
            placed[control].left += spare;
        }
    }

    const Rect client = twipsToPixels(Rect{0, 0, kClientTwips.width, kClientTwips.height}, dpi);
    const auto track = static_cast<std::size_t>(FormControl::progressTrack);
    const Rect designedTrack = twipsToPixels(kControlTwips[track], dpi);
    const int rightMargin = client.right() - designedTrack.right();
    const int bottomMargin = client.bottom() - designedTrack.bottom();
    placement.client = {std::max(client.width, right + 1 + rightMargin),
                        std::max(client.height, placed[track].bottom() + 1 + bottomMargin)};
    return placement;
}

}  // namespace vellicor
