// The progress control's look: the track and its bar, drawn in the colours of the theme the user
// has chosen (high contrast, or the light or dark app theme), as the Qt window draws them.
#pragma once

#include <windows.h>

namespace vellicor {

// Draws the track `track` with a bar `barPixels` wide from its left edge.
void paintProgressTrack(HDC dc, const RECT& track, int barPixels);

}  // namespace vellicor
