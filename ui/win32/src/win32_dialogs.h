// The window's dialogs on Windows, drawn from the core's model: message boxes, the question and
// the file dialog; and the conversions between the controls' UTF-16 and the core's UTF-8 (never
// a code page).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "vellicor/window_model.h"

namespace vellicor {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// The window's text as UTF-8.
std::string windowText(HWND window);

// A success with a folder is a task dialog whose extra button shows the folder in Explorer with
// the file selected; anything else a message box.
void showMessageBox(HWND owner, const Message& message);
bool askQuestion(HWND owner, const Question& question);
// The system's file dialog (IFileOpenDialog).
std::optional<std::string> showOpenDialog(HWND owner, const FileDialogRequest& request);

}  // namespace vellicor
