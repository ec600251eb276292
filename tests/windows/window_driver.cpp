// Drives a running Vellicor.exe as its user would, from another process: types a name, presses
// a button from the keyboard, and reads and answers the message box that follows. Each step
// prints one line for tests/windows/vellicor_exe_test.sh to compare.
//   window_driver.exe compress NAME    Tab, Tab, Enter: the message's text
//   window_driver.exe alt LETTER NAME  Alt+LETTER on NAME: the message's or question's text,
//                                      its buttons, the default one and the compress button's
//                                      state while it is shown
// and then presses Enter in the box, and says whether another box follows.
//   window_driver.exe read             the message's text, from a box the window shows by itself
//   window_driver.exe name             the name box's text
//   window_driver.exe form             the buttons' captions, and the progress control's class
//                                      and position
//   window_driver.exe close
#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

// How long a step may take before it is taken for a hang: a slow or busy machine only waits
// longer, it never fails for it.
constexpr int kPatience = 60000;

HWND findWithin(int milliseconds, const wchar_t* className, const wchar_t* title) {
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (const HWND found = FindWindowW(className, title)) {
            return found;
        }
        Sleep(10);
    }
    return nullptr;
}

std::wstring textOf(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// A message box's text: its static controls' texts, one line each.
std::wstring boxText(HWND box) {
    std::wstring text;
    for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child != nullptr;
         child = FindWindowExW(box, child, L"Static", nullptr)) {
        if (const std::wstring line = textOf(child); !line.empty()) {
            text += line + L"|";
        }
    }
    return text;
}

void key(HWND target, UINT message, WPARAM code, LPARAM flags) {
    PostMessageW(target, message, code, flags | 1);
}

void print(const std::wstring& text) {
    std::string utf8(static_cast<std::size_t>(text.size()) * 3 + 1, '\0');
    utf8.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
    std::printf("%s\n", utf8.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const HWND window = findWithin(kPatience, L"VellicorWindow", nullptr);
    if (argc < 2 || window == nullptr) {
        print(L"no window");
        return 1;
    }
    // Shown, and past its opening: a message sent is answered once its loop runs.
    for (int waited = 0; waited < kPatience && !IsWindowVisible(window); waited += 10) {
        Sleep(10);
    }
    SendMessageW(window, WM_NULL, 0, 0);
    const std::string step = argv[1];
    if (step == "close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    const HWND name = FindWindowExW(window, nullptr, L"Edit", nullptr);
    const HWND compress = GetDlgItem(window, 102);  // the form's ids: 100 + its place in the form
    if (step == "name") {
        print(textOf(name));
        return 0;
    }
    if (step == "form") {
        std::wstring captions;
        for (HWND button = FindWindowExW(window, nullptr, L"Button", nullptr); button != nullptr;
             button = FindWindowExW(window, button, L"Button", nullptr)) {
            captions += textOf(button) + L" ";
        }
        const HWND progress = GetDlgItem(window, 105);
        wchar_t className[64] = L"";
        GetClassNameW(progress, className, 64);
        // A progress control, which Windows' accessibility proxy reads as a progress bar with
        // its position as the value.
        print(captions + className + L" at " +
              std::to_wstring(SendMessageW(progress, PBM_GETPOS, 0, 0)));
        return 0;
    }
    if (step == "read") {
        // The box the window shows by itself.
    } else if (step == "compress") {
        const std::wstring file(argv[2], argv[2] + std::string(argv[2]).size());
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        // From the name box, where the window opens, Tab passes "..." and stops on compress.
        key(name, WM_KEYDOWN, VK_TAB, 0);
        key(name, WM_KEYDOWN, VK_TAB, 0);
        key(compress, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        const std::wstring file(argv[3], argv[3] + std::string(argv[3]).size());
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
        key(name, WM_SYSCHAR, static_cast<WPARAM>(argv[2][0]), 1 << 29);
    }
    const HWND box = findWithin(kPatience, L"#32770", L"Vellicor");
    if (box == nullptr) {
        print(L"no message box");
        return 1;
    }
    // A box is found as soon as it is made: its buttons and texts come a moment later.
    for (int waited = 0;
         waited < kPatience &&
         (!IsWindowVisible(box) || FindWindowExW(box, nullptr, L"Button", nullptr) == nullptr ||
          boxText(box).empty());
         waited += 10) {
        Sleep(10);
    }
    SendMessageW(box, WM_NULL, 0, 0);
    print(boxText(box));
    std::wstring buttons;
    std::wstring defaultButton;
    for (HWND button = FindWindowExW(box, nullptr, L"Button", nullptr); button != nullptr;
         button = FindWindowExW(box, button, L"Button", nullptr)) {
        buttons += textOf(button) + L"/";
        if ((GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            defaultButton = textOf(button);
        }
    }
    print(L"buttons " + buttons + L" default " + defaultButton + L", compress " +
          (IsWindowEnabled(compress) ? L"enabled" : L"disabled"));
    // Enter answers with the default button.
    key(box, WM_KEYDOWN, VK_RETURN, 0);
    for (int waited = 0; waited < kPatience && IsWindow(box); waited += 10) {
        Sleep(10);
    }
    Sleep(300);
    const HWND after = FindWindowW(L"#32770", L"Vellicor");
    print(IsWindow(box) ? L"box stays" : after != nullptr ? L"another box" : L"no other box");
    return 0;
}
