#include "win32_dialogs.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <filesystem>
#include <system_error>

#include "lzc/naming.h"
#include "vellicor/path_text.h"
#include "vellicor/texts.h"

namespace vellicor {
namespace {

constexpr wchar_t kTitle[] = L"Vellicor";

// The text, then the informative text under it after an empty line.
std::wstring boxText(const std::string& text, const std::string& informative) {
    std::wstring wide = wideFromUtf8(text);
    if (!informative.empty()) {
        wide += L"\n\n" + wideFromUtf8(informative);
    }
    return wide;
}

// Releases a COM interface at the end of the scope.
template <class Interface>
struct ComPointer {
    Interface* pointer = nullptr;
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }
};

}  // namespace

std::wstring wideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string utf8FromWide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return utf8FromWide(text);
}

void showMessageBox(HWND owner, const Message& message) {
    // After a success, a task dialog with a button that opens the output's folder.
    if (!message.folder.empty()) {
        constexpr int kOpenFolder = 100;
        const std::wstring text = wideFromUtf8(message.text);
        const std::wstring details = wideFromUtf8(message.informativeText);
        const std::wstring open = wideFromUtf8(translate("vellicor::Dialogs", "Open &Folder"));
        const TASKDIALOG_BUTTON buttons[] = {{kOpenFolder, open.c_str()}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner;
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
        config.dwCommonButtons = TDCBF_OK_BUTTON;
        config.pszWindowTitle = kTitle;
        config.pszMainIcon = TD_INFORMATION_ICON;
        config.pszMainInstruction = text.c_str();
        config.pszContent = details.empty() ? nullptr : details.c_str();
        config.cButtons = 1;
        config.pButtons = buttons;
        config.nDefaultButton = IDOK;
        int pressed = 0;
        if (SUCCEEDED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
            if (pressed == kOpenFolder) {
                ShellExecuteW(owner, L"open", wideFromUtf8(message.folder).c_str(), nullptr,
                              nullptr, SW_SHOWNORMAL);
            }
            return;
        }
    }
    const UINT icon =
        message.kind == Message::Kind::information ? MB_ICONINFORMATION : MB_ICONWARNING;
    MessageBoxW(owner, boxText(message.text, message.informativeText).c_str(), kTitle,
                MB_OK | icon);
}

bool askReplaceBox(HWND owner, const std::string& absoluteName) {
    const std::filesystem::path path = pathFromUtf8(absoluteName);
    const std::string question =
        withValues(translate("vellicor::Dialogs", "%1 already exists. Replace it?"),
                   {lzc::quotedName(utf8FromPath(path.filename()))});
    return MessageBoxW(owner, boxText(question, lzc::quotedName(absoluteName)).c_str(), kTitle,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> showOpenDialog(HWND owner, const std::string& typed) {
    ComPointer<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.pointer)))) {
        return std::nullopt;
    }
    const std::wstring all = wideFromUtf8(translate("vellicor::Dialogs", "All files (*)"));
    const std::wstring compressed =
        wideFromUtf8(translate("vellicor::Dialogs", "Compressed files (*.lzc)"));
    const COMDLG_FILTERSPEC filters[] = {{all.c_str(), L"*.*"}, {compressed.c_str(), L"*.lzc"}};
    dialog.pointer->SetFileTypes(2, filters);
    dialog.pointer->SetFileTypeIndex(typed.ends_with(".lzc") ? 2 : 1);
    dialog.pointer->SetTitle(wideFromUtf8(translate("vellicor::Dialogs", "Open")).c_str());

    // The typed name's folder (the name itself when it is one), and the file when it is one.
    std::error_code error;
    std::filesystem::path name = pathFromUtf8(typed);
    if (!typed.empty()) {
        name = std::filesystem::absolute(name, error);
    }
    std::filesystem::path folder = name;
    if (!typed.empty() && !std::filesystem::is_directory(name, error)) {
        folder = name.parent_path();
        if (std::filesystem::is_regular_file(name, error)) {
            dialog.pointer->SetFileName(name.filename().wstring().c_str());
        }
    }
    ComPointer<IShellItem> start;
    if (!typed.empty() && std::filesystem::is_directory(folder, error) &&
        SUCCEEDED(SHCreateItemFromParsingName(folder.wstring().c_str(), nullptr,
                                              IID_PPV_ARGS(&start.pointer)))) {
        dialog.pointer->SetFolder(start.pointer);
    }

    ComPointer<IShellItem> result;
    wchar_t* chosen = nullptr;
    if (FAILED(dialog.pointer->Show(owner)) || FAILED(dialog.pointer->GetResult(&result.pointer)) ||
        FAILED(result.pointer->GetDisplayName(SIGDN_FILESYSPATH, &chosen))) {
        return std::nullopt;
    }
    std::string utf8 = utf8FromWide(chosen);
    CoTaskMemFree(chosen);
    return utf8;
}

}  // namespace vellicor
