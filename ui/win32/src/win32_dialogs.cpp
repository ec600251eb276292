#include "win32_dialogs.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace vellicor {
namespace {

// The text, then the details under it after an empty line.
std::wstring boxText(const std::string& text, const std::string& details) {
    std::wstring wide = wideFromUtf8(text);
    if (!details.empty()) {
        wide += L"\n\n" + wideFromUtf8(details);
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

namespace {

// Opens Explorer on the folder with the file selected; the folder alone if that fails.
void showInExplorer(HWND owner, const Message& message) {
    const std::wstring file = wideFromUtf8(message.file);
    PIDLIST_ABSOLUTE item = nullptr;
    if (SUCCEEDED(SHParseDisplayName(file.c_str(), nullptr, &item, 0, nullptr))) {
        const HRESULT shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        CoTaskMemFree(item);
        if (SUCCEEDED(shown)) {
            return;
        }
    }
    ShellExecuteW(owner, L"open", wideFromUtf8(message.folder).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

}  // namespace

void showMessageBox(HWND owner, const Message& message) {
    const std::wstring title = wideFromUtf8(message.title);
    if (!message.folder.empty()) {
        constexpr int kOpenFolder = 100;
        const std::wstring text = wideFromUtf8(message.text);
        const std::wstring details = wideFromUtf8(message.details);
        const std::wstring open = wideFromUtf8(message.openFolder);
        const TASKDIALOG_BUTTON buttons[] = {{kOpenFolder, open.c_str()}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner;
        config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
        config.dwCommonButtons = TDCBF_OK_BUTTON;
        config.pszWindowTitle = title.c_str();
        config.pszMainIcon = TD_INFORMATION_ICON;
        config.pszMainInstruction = text.c_str();
        config.pszContent = details.empty() ? nullptr : details.c_str();
        config.cButtons = 1;
        config.pButtons = buttons;
        config.nDefaultButton = IDOK;
        int pressed = 0;
        if (SUCCEEDED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
            if (pressed == kOpenFolder) {
                showInExplorer(owner, message);
            }
            return;
        }
    }
    const UINT icon =
        message.kind == Message::Kind::information ? MB_ICONINFORMATION : MB_ICONWARNING;
    MessageBoxW(owner, boxText(message.text, message.details).c_str(), title.c_str(), MB_OK | icon);
}

bool askQuestion(HWND owner, const Question& question) {
    return MessageBoxW(owner, boxText(question.text, question.details).c_str(),
                       wideFromUtf8(question.title).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> showOpenDialog(HWND owner, const FileDialogRequest& request) {
    ComPointer<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.pointer)))) {
        return std::nullopt;
    }
    std::vector<std::wstring> texts;
    for (const FileDialogRequest::Filter& filter : request.filters) {
        texts.push_back(wideFromUtf8(filter.label));
        texts.push_back(wideFromUtf8(filter.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> filters;
    for (std::size_t index = 0; index + 1 < texts.size(); index += 2) {
        filters.push_back({texts[index].c_str(), texts[index + 1].c_str()});
    }
    dialog.pointer->SetFileTypes(static_cast<UINT>(filters.size()), filters.data());
    dialog.pointer->SetFileTypeIndex(static_cast<UINT>(request.selectedFilter) + 1);
    dialog.pointer->SetTitle(wideFromUtf8(request.title).c_str());
    if (!request.file.empty()) {
        dialog.pointer->SetFileName(wideFromUtf8(request.file).c_str());
    }
    ComPointer<IShellItem> start;
    if (!request.folder.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(wideFromUtf8(request.folder).c_str(), nullptr,
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
