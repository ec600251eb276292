#include "win32_form.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "win32_dialogs.h"
#include "win32_progress.h"

namespace vellicor {
namespace {

constexpr wchar_t kClassName[] = L"VellicorWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kAfterDrop = WM_APP + 1;
constexpr int kFirstId = 100;  // a control's id: kFirstId + its FormControl

// Gives a control the name and description a screen reader reads for it.
void describeForScreenReaders(HWND control, const ControlTexts& texts) {
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, wideFromUtf8(texts.accessibleName).c_str());
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_DESCRIPTION, wideFromUtf8(texts.description).c_str());
        services->Release();
    }
}

void addTooltip(HWND tooltips, HWND owner, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int id(FormControl control) {
    return kFirstId + static_cast<int>(control);
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
    if (window_ != nullptr && IsWindow(window_)) {
        RemoveWindowSubclass(control(FormControl::progressTrack), &Win32Form::paintProgress, 1);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

bool Win32Form::open(const std::string& name, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Form::procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    const std::wstring title = wideFromUtf8(formTexts().title);
    if (CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_,
                        this) == nullptr) {
        return false;
    }
    createControls();
    layout();
    setNameText(name);
    DragAcceptFiles(window_, TRUE);
    ShowWindow(window_, show);
    SetFocus(control(FormControl::nameBox));
    return true;
}

void Win32Form::createControls() {
    const FormTexts texts = formTexts();
    struct Control {
        FormControl which;
        const wchar_t* className;
        const ControlTexts& texts;
        DWORD style;
    };
    const Control made[] = {
        {FormControl::nameBox, L"EDIT", texts.nameBox, WS_TABSTOP | ES_AUTOHSCROLL},
        {FormControl::browseButton, L"BUTTON", texts.browseButton, WS_TABSTOP | BS_PUSHBUTTON},
        {FormControl::compressButton, L"BUTTON", texts.compressButton, WS_TABSTOP | BS_PUSHBUTTON},
        {FormControl::decompressButton, L"BUTTON", texts.decompressButton,
         WS_TABSTOP | BS_PUSHBUTTON},
        {FormControl::qualityBox, L"COMBOBOX", texts.qualityBox,
         WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL},
        // A progress control, so that screen readers know it and read its value; it is drawn
        // as the track with the bar over its left end.
        {FormControl::progressTrack, PROGRESS_CLASSW, texts.progressTrack, 0},
    };
    tooltips_ = CreateWindowExW(
        0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    for (const Control& each : made) {
        const DWORD extended = each.which == FormControl::nameBox ? WS_EX_CLIENTEDGE : 0;
        const HWND made_control = CreateWindowExW(
            extended, each.className, wideFromUtf8(each.texts.caption).c_str(),
            WS_CHILD | WS_VISIBLE | each.style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id(each.which))), instance_, nullptr);
        controls_[static_cast<std::size_t>(each.which)] = made_control;
        describeForScreenReaders(made_control, each.texts);
        addTooltip(tooltips_, window_, made_control, wideFromUtf8(each.texts.description));
    }
    const HWND quality = control(FormControl::qualityBox);
    for (const std::string& item : texts.qualityItems) {
        SendMessageW(quality, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wideFromUtf8(item).c_str()));
    }
    SendMessageW(quality, CB_SETCURSEL, 0, 0);  // the best quality
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (GetComboBoxInfo(quality, &parts) && parts.hwndItem != nullptr) {
        addTooltip(tooltips_, window_, parts.hwndItem, wideFromUtf8(texts.qualityBox.description));
    }
    const HWND track = control(FormControl::progressTrack);
    SendMessageW(track, PBM_SETRANGE32, 0, 100);
    SetWindowSubclass(track, &Win32Form::paintProgress, 1, reinterpret_cast<DWORD_PTR>(this));
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

    // What each control needs in this font, from the system's metrics: a line of text inside
    // the frame a control draws, the same height across a row.
    const HDC dc = GetDC(window_);
    const HGDIOBJ before = SelectObject(dc, font_);
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    const int lineHeight =
        static_cast<int>(text.tmHeight) +
        2 * (GetSystemMetricsForDpi(SM_CYEDGE, dpi) + GetSystemMetricsForDpi(SM_CYFIXEDFRAME, dpi));
    std::array<Size, kFormControlCount> needed{};
    needed[static_cast<std::size_t>(FormControl::nameBox)] = {0, lineHeight};
    for (const FormControl button :
         {FormControl::browseButton, FormControl::compressButton, FormControl::decompressButton}) {
        const SIZE caption = textSize(dc, wideFromUtf8(windowText(control(button))));
        needed[static_cast<std::size_t>(button)] = {caption.cx + 2 * (edge + text.tmAveCharWidth),
                                                    lineHeight};
    }
    int widest = 0;
    for (const std::string& item : formTexts().qualityItems) {
        widest = std::max(widest, static_cast<int>(textSize(dc, wideFromUtf8(item)).cx));
    }
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
    // The quality box's field as high as the buttons beside it: the box's frame is what its
    // height has beyond its field's.
    const HWND quality = control(FormControl::qualityBox);
    RECT box{};
    GetWindowRect(quality, &box);
    const auto field = static_cast<int>(SendMessageW(quality, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    const int frameHeight = std::max(0, static_cast<int>(box.bottom - box.top) - field);
    SendMessageW(quality, CB_SETITEMHEIGHT, WPARAM(-1), std::max(field, lineHeight - frameHeight));
    needed[static_cast<std::size_t>(FormControl::qualityBox)] = {
        widest + GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + 2 * edge +
            static_cast<int>(text.tmAveCharWidth),
        lineHeight};
    // The edit fields keep their text clear of their frames.
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    const int margin = std::max(1, static_cast<int>(text.tmAveCharWidth / 2));
    for (const HWND edit : {control(FormControl::nameBox),
                            GetComboBoxInfo(quality, &parts) ? parts.hwndItem : nullptr}) {
        if (edit != nullptr) {
            SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(margin, margin));
        }
    }

    const FormPlacement placement = placeControls(dpi, needed);
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        const Rect& rect = placement.controls[index];
        // A combo box's height includes its opened list.
        const int list =
            controls_[index] == quality ? (kQualityCount + 1) * static_cast<int>(text.tmHeight) : 0;
        MoveWindow(controls_[index], rect.left, rect.top, rect.width, rect.height + list, TRUE);
    }
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
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            // High contrast or the app theme may have changed.
            InvalidateRect(control(FormControl::progressTrack), nullptr, TRUE);
            return DefWindowProcW(window_, message, wParam, lParam);
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
        flow_.browse();
    } else if (which == id(FormControl::compressButton)) {
        flow_.compress();
    } else if (which == id(FormControl::decompressButton)) {
        flow_.decompress();
    }
}

LRESULT CALLBACK Win32Form::paintProgress(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR form) {
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(control, &paint);
        RECT track;
        GetClientRect(control, &track);
        reinterpret_cast<const Win32Form*>(form)->paintTrack(dc, track);
        EndPaint(control, &paint);
        return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void Win32Form::paintTrack(HDC dc, const RECT& track) const {
    paintProgressTrack(dc, track, twipsToPixels(bar_.widthTwips, GetDpiForWindow(window_)));
}

void Win32Form::dropped(HDROP drop) {
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        std::wstring name(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, index, name.data(), static_cast<UINT>(name.size())));
        names.push_back(utf8FromWide(name));
    }
    DragFinish(drop);
    afterDrop_ = flow_.filesDropped(names);
    if (afterDrop_) {
        PostMessageW(window_, kAfterDrop, 0, 0);
    }
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
        if (input != control(FormControl::progressTrack)) {
            EnableWindow(input, enabled ? TRUE : FALSE);
        }
    }
    if (enabled && IsChild(window_, focusBeforeLock_)) {
        SetFocus(focusBeforeLock_);
    }
}

double Win32Form::trackTwips() const {
    RECT track{};
    GetClientRect(control(FormControl::progressTrack), &track);
    return track.right * double{kTwipsPerInch} / GetDpiForWindow(window_);
}

void Win32Form::setProgress(const ProgressBar& bar) {
    bar_ = bar;
    const HWND track = control(FormControl::progressTrack);
    SendMessageW(track, PBM_SETPOS, static_cast<WPARAM>(bar.percent), 0);
    InvalidateRect(track, nullptr, FALSE);
    UpdateWindow(track);
    dispatchPending();
}

void Win32Form::showMessage(const Message& message) {
    showMessageBox(window_, message);
}

bool Win32Form::ask(const Question& question) {
    return askQuestion(window_, question);
}

std::optional<std::string> Win32Form::chooseFile(const FileDialogRequest& request) {
    return showOpenDialog(window_, request);
}

}  // namespace vellicor
