#include "win32_progress.h"

#include <algorithm>

#include "vellicor/window_model.h"

namespace vellicor {
namespace {

// High contrast, or the app theme the user chose in Settings (light unless it says dark).
Theme currentTheme() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return Theme::highContrast;
    }
    DWORD light = 1;
    DWORD size = sizeof light;
    if (RegGetValueW(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
            L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS &&
        light == 0) {
        return Theme::dark;
    }
    return Theme::light;
}

// The colours of a role: fixed ones, the system's, or those of Windows' dark app theme.
COLORREF colour(ColourRole role, Theme theme) {
    const bool dark = theme == Theme::dark;
    switch (role) {
        case ColourRole::white:
            return RGB(255, 255, 255);
        case ColourRole::blue:
            return RGB(0, 0, 255);
        case ColourRole::black:
            return RGB(0, 0, 0);
        case ColourRole::base:
            return dark ? RGB(0x1e, 0x1e, 0x1e) : GetSysColor(COLOR_WINDOW);
        case ColourRole::highlight:
            return GetSysColor(COLOR_HIGHLIGHT);
        case ColourRole::mid:
            return dark ? RGB(0x60, 0x60, 0x60) : GetSysColor(COLOR_BTNSHADOW);
        case ColourRole::window:
            return GetSysColor(COLOR_WINDOW);
        case ColourRole::windowText:
            return GetSysColor(COLOR_WINDOWTEXT);
    }
    return RGB(0, 0, 0);
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void frame(HDC dc, const RECT& rect, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

void paintProgressTrack(HDC dc, const RECT& track, int barPixels) {
    const Theme theme = currentTheme();
    const ProgressColours colours = progressColours(theme);
    fill(dc, track, colour(colours.track, theme));
    if (barPixels > 0) {
        const RECT bar{track.left, track.top, std::min(track.right, track.left + barPixels),
                       track.bottom};
        fill(dc, bar, colour(colours.bar, theme));
        frame(dc, bar, colour(colours.border, theme));
    }
    frame(dc, track, colour(colours.border, theme));
}

}  // namespace vellicor
