#include "win32_form.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>

#include "lzc/naming.h"
#include "vellicor/decisions.h"
#include "vellicor/texts.h"
#include "win32_dialogs.h"

namespace vellicor {
namespace {

constexpr wchar_t kClassName[] = L"VellicorWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kAfterDrop = WM_APP + 1;
constexpr int kFirstId = 100;  // a control's id: kFirstId + its FormControl

// Gives a control that has no caption of its own the name a screen reader reads for it.
void nameForScreenReaders(HWND control, const std::wstring& name) {
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, name.c_str());
        services->Release();
    }
}

int id(FormControl control) {
    return kFirstId + static_cast<int>(control);
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The room a caption takes in `dc`'s font, without the mnemonic's ampersand.
SIZE textSize(HDC dc, std::wstring text) {
    std::erase(text, L'&');
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace

Win32Form::Win32Form(HINSTANCE instance)
    : instance_(instance), flow_(*this, fileLayerOperations()) {}

Win32Form::~Win32Form() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

bool Win32Form::open(const std::wstring& name, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Form::procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    const std::wstring title = wideFromUtf8(translate("vellicor::MainWindow", "Vellicor v1.0"));
    if (CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_,
                        this) == nullptr) {
        return false;
    }
    createControls();
    layout();
    SetWindowTextW(control(FormControl::nameBox), name.c_str());
    DragAcceptFiles(window_, TRUE);
    ShowWindow(window_, show);
    SetFocus(control(FormControl::nameBox));
    return true;
}

void Win32Form::createControls() {
    struct Input {
        FormControl which;
        const wchar_t* className;
        std::wstring caption;
        DWORD style;
    };
    const Input inputs[] = {
        {FormControl::nameBox, L"EDIT", L"", ES_AUTOHSCROLL},
        {FormControl::browseButton, L"BUTTON", L"...", BS_PUSHBUTTON},
        {FormControl::compressButton, L"BUTTON",
         wideFromUtf8(translate("vellicor::MainWindow", "&compress")), BS_PUSHBUTTON},
        {FormControl::decompressButton, L"BUTTON",
         wideFromUtf8(translate("vellicor::MainWindow", "&decompress")), BS_PUSHBUTTON},
        {FormControl::qualityBox, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL},
    };
    for (const Input& input : inputs) {
        const DWORD extended = input.which == FormControl::nameBox ? WS_EX_CLIENTEDGE : 0;
        controls_[static_cast<std::size_t>(input.which)] = CreateWindowExW(
            extended, input.className, input.caption.c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | input.style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id(input.which))), instance_, nullptr);
    }
    const HWND quality = control(FormControl::qualityBox);
    for (int index = 0; index < kQualityCount; ++index) {
        SendMessageW(quality, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideFromUtf8(qualityLabel(index)).c_str()));
    }
    SendMessageW(quality, CB_SETCURSEL, 0, 0);  // the best quality
    nameForScreenReaders(control(FormControl::nameBox),
                         wideFromUtf8(translate("vellicor::MainWindow", "File name")));
    nameForScreenReaders(quality, wideFromUtf8(translate("vellicor::MainWindow", "Quality")));
}

void Win32Form::layout() {
    const UINT dpi = GetDpiForWindow(window_);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (const HWND input : controls_) {
        SendMessageW(input, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = font;

    // What each control needs in this font: a line of text with the frame and some margin.
    const HDC dc = GetDC(window_);
    const HGDIOBJ before = SelectObject(dc, font_);
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    const int lineHeight = text.tmHeight + scaled(8, dpi);
    std::array<Size, kFormControlCount> needed{};
    needed[0] = {0, lineHeight};
    for (const FormControl button :
         {FormControl::browseButton, FormControl::compressButton, FormControl::decompressButton}) {
        const SIZE caption = textSize(dc, wideFromUtf8(windowText(control(button))));
        needed[static_cast<std::size_t>(button)] = {caption.cx + scaled(16, dpi), lineHeight};
    }
    int widest = 0;
    for (int index = 0; index < kQualityCount; ++index) {
        widest =
            std::max(widest, static_cast<int>(textSize(dc, wideFromUtf8(qualityLabel(index))).cx));
    }
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
    RECT field{};
    const HWND quality = control(FormControl::qualityBox);
    GetWindowRect(quality, &field);  // a drop-down list sets its field's height from its font
    needed[static_cast<std::size_t>(FormControl::qualityBox)] = {
        widest + GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + scaled(12, dpi),
        static_cast<int>(field.bottom - field.top)};

    const FormPlacement placement = placeControls(dpi, needed);
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        const Rect& rect = placement.controls[index];
        // A combo box's height includes its opened list.
        const int list = controls_[index] == quality ? (kQualityCount + 1) * lineHeight : 0;
        MoveWindow(controls_[index], rect.left, rect.top, rect.width, rect.height + list, TRUE);
    }
    const Rect& track = placement.controls[static_cast<std::size_t>(FormControl::progressTrack)];
    track_ = {track.left, track.top, track.left + track.width, track.top + track.height};
    RECT frame{0, 0, placement.client.width, placement.client.height};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Form::compressWhenShown() {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id(FormControl::compressButton), BN_CLICKED), 0);
}

int Win32Form::run() {
    MSG message;
    while (!quitting_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!shortcut(message) && !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return quitting_ ? exitCode_ : static_cast<int>(message.wParam);
}

bool Win32Form::dispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitting_ = true;
            exitCode_ = static_cast<int>(message.wParam);
            return false;
        }
        if (!shortcut(message) && !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

bool Win32Form::shortcut(const MSG& message) {
    if (message.message == WM_SYSCHAR && (message.wParam == L'b' || message.wParam == L'B') &&
        IsChild(window_, message.hwnd)) {
        command(id(FormControl::browseButton));
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == 'Q' && GetKeyState(VK_CONTROL) < 0 &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

LRESULT CALLBACK Win32Form::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form != nullptr ? form->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                command(LOWORD(wParam));
            }
            return 0;
        case DM_GETDEFID: {
            // Enter presses the focused button, as Space does.
            const HWND focus = GetFocus();
            const int focused = IsChild(window_, focus) ? GetDlgCtrlID(focus) : 0;
            const bool button = focused >= id(FormControl::browseButton) &&
                                focused <= id(FormControl::decompressButton);
            return button ? MAKELRESULT(focused, DC_HASDEFID) : 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                lastFocus_ = GetFocus();
            } else {
                SetFocus(IsChild(window_, lastFocus_) ? lastFocus_ : control(FormControl::nameBox));
            }
            return 0;
        case WM_PAINT:
            paint();
            return 0;
        case WM_DROPFILES:
            dropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case kAfterDrop:
            if (afterDrop_) {
                const Message said = *afterDrop_;
                afterDrop_.reset();
                showMessage(said);
            }
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            layout();
            return 0;
        }
        case WM_CLOSE:
            if (!flow_.running()) {
                DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32Form::command(int which) {
    if (!IsWindowEnabled(GetDlgItem(window_, which))) {
        return;
    }
    if (which == id(FormControl::browseButton)) {
        flow_.browseClicked();
    } else if (which == id(FormControl::compressButton)) {
        flow_.compressClicked();
    } else if (which == id(FormControl::decompressButton)) {
        flow_.decompressClicked();
    }
}

void Win32Form::paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    FillRect(dc, &track_, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const LONG width = track_.right - track_.left;
    if (total_ > 0 && done_ > 0) {
        RECT bar = track_;
        bar.right = bar.left + static_cast<LONG>(static_cast<double>(width) *
                                                 static_cast<double>(std::min(done_, total_)) /
                                                 static_cast<double>(total_));
        const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        FillRect(dc, &bar, blue);
        DeleteObject(blue);
    }
    FrameRect(dc, &track_, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(window_, &paint);
}

void Win32Form::dropped(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 0 && !flow_.running()) {
        std::wstring first(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
        first.resize(DragQueryFileW(drop, 0, first.data(), static_cast<UINT>(first.size())));
        SetWindowTextW(control(FormControl::nameBox), first.c_str());
        if (count > 1) {
            afterDrop_ =
                Message{Message::Kind::information,
                        withValues(translate("vellicor::MainWindow",
                                             "%1 files were dropped; the first one was taken."),
                                   {std::to_string(count)}),
                        lzc::quotedName(utf8FromWide(first)),
                        {}};
            PostMessageW(window_, kAfterDrop, 0, 0);
        }
    }
    DragFinish(drop);
}

std::string Win32Form::nameText() const {
    return windowText(control(FormControl::nameBox));
}

void Win32Form::setNameText(const std::string& name) {
    SetWindowTextW(control(FormControl::nameBox), wideFromUtf8(name).c_str());
}

QualityBox Win32Form::qualityBox() const {
    const HWND quality = control(FormControl::qualityBox);
    return {static_cast<int>(SendMessageW(quality, CB_GETCURSEL, 0, 0)), windowText(quality)};
}

void Win32Form::setInputsEnabled(bool enabled) {
    // The focus stays on a disabled control, and is there when the form is enabled again.
    if (!enabled) {
        focusBeforeLock_ = GetFocus();
    }
    for (const HWND input : controls_) {
        EnableWindow(input, enabled ? TRUE : FALSE);
    }
    if (enabled && IsChild(window_, focusBeforeLock_)) {
        SetFocus(focusBeforeLock_);
    }
}

void Win32Form::setProgress(std::int64_t done, std::int64_t total) {
    done_ = done;
    total_ = total;
    InvalidateRect(window_, &track_, FALSE);
    UpdateWindow(window_);
    dispatchPending();
}

void Win32Form::showMessage(const Message& message) {
    showMessageBox(window_, message);
}

bool Win32Form::askReplace(const std::string& absoluteName) {
    return askReplaceBox(window_, absoluteName);
}

std::optional<std::string> Win32Form::chooseFile(const std::string& typed) {
    return showOpenDialog(window_, typed);
}

}  // namespace vellicor
