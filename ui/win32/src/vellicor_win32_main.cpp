// Vellicor.exe [--compress] [FILE]: the window, with FILE (made absolute) in its name box;
// --compress (Explorer's "Compress with Vellicor") also presses compress.
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

#include "vellicor/texts.h"
#include "win32_dialogs.h"
#include "win32_form.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool compress = count > 1 && std::wstring_view(arguments[1]) == L"--compress";
    const int first = compress ? 2 : 1;  // the file's argument
    if (count > first + 1) {
        LocalFree(arguments);
        MessageBoxW(nullptr,
                    vellicor::wideFromUtf8(
                        vellicor::translate("vellicor::CommandLine", "Only one file can be named."))
                        .c_str(),
                    L"Vellicor", MB_OK | MB_ICONWARNING);
        return 2;
    }
    std::wstring name;
    if (count > first && arguments[first][0] != L'\0') {
        name.resize(GetFullPathNameW(arguments[first], 0, nullptr, nullptr));
        name.resize(GetFullPathNameW(arguments[first], static_cast<DWORD>(name.size()), name.data(),
                                     nullptr));
    }
    LocalFree(arguments);

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    int code = 1;
    {
        vellicor::Win32Form form(instance);
        if (form.open(name, show)) {
            if (compress) {
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
