// Vellicor.exe [--compress] [FILE]: the window, with FILE (made absolute) in its name box;
// --compress (Explorer's "Compress with Vellicor") also presses compress. --help, -h, /? and
// --version are answered in a message box. The texts are in the Windows display language.
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "vellicor/texts.h"
#include "vellicor/window_arguments.h"
#include "win32_dialogs.h"
#include "win32_form.h"

namespace {

// The user's display languages, best first ("de-DE", ...).
std::vector<std::string> displayLanguages() {
    ULONG count = 0;
    ULONG size = 0;
    std::vector<std::string> languages;
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) {
        return languages;
    }
    std::wstring list(size, L'\0');
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, list.data(), &size)) {
        return languages;
    }
    for (const wchar_t* name = list.c_str(); *name != L'\0'; name += wcslen(name) + 1) {
        languages.push_back(vellicor::utf8FromWide(name));
    }
    return languages;
}

std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> read;
    for (int index = 1; index < count; ++index) {
        read.push_back(vellicor::utf8FromWide(wide[index]));
    }
    LocalFree(wide);
    return read;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    vellicor::useLanguage(displayLanguages());
    const INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const vellicor::WindowArguments read = vellicor::readWindowArguments(arguments());
    if (read.action != vellicor::WindowArguments::Action::showWindow) {
        const bool refused = read.action == vellicor::WindowArguments::Action::refuse;
        MessageBoxW(nullptr, vellicor::wideFromUtf8(read.text).c_str(), L"Vellicor",
                    MB_OK | static_cast<UINT>(refused ? MB_ICONWARNING : MB_ICONINFORMATION));
        return refused ? 2 : 0;
    }
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    int code = 1;
    {
        vellicor::Win32Form form(instance);
        if (form.open(read.file, show)) {
            if (read.compress) {
                form.compressWhenShown();
            }
            code = form.run();
        }
    }
    if (com) {
        CoUninitialize();
    }
    return code;
}
