// The window's dialogs on Windows: message boxes, the replace question and the file dialog, and
// the conversions between the controls' UTF-16 and the core's UTF-8 (never a code page).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "vellicor/window_flow.h"

namespace vellicor {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// The window's text as UTF-8.
std::string windowText(HWND window);

void showMessageBox(HWND owner, const Message& message);
// "NAME already exists. Replace it?" with the absolute name under it; No is the default.
bool askReplaceBox(HWND owner, const std::string& absoluteName);
// The system's file dialog, opened at the folder of `typed` (or on the file it names).
std::optional<std::string> showOpenDialog(HWND owner, const std::string& typed);

}  // namespace vellicor
