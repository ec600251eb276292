// The form as a Win32 window: an edit box, three buttons, an editable quality list and the
// progress control drawn as the track and bar, placed from the core's twips table at the
// window's DPI, with the core's texts.
#pragma once

#include <windows.h>
// (shellapi.h needs windows.h before it)
#include <shellapi.h>

#include <array>
#include <optional>
#include <string>

#include "vellicor/form_layout.h"
#include "vellicor/window_flow.h"

namespace vellicor {

class Win32Form final : public FormView {
public:
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Opens the window with `name` in the name box; false when it could not be made.
    bool open(const std::string& name, int show);
    // Presses compress once the message loop runs.
    void compressWhenShown();
    // The message loop, Tab, Enter and the mnemonics included; the exit code.
    int run();

    std::string nameText() const override;
    void setNameText(const std::string& name) override;
    QualityBox qualityBox() const override;
    void setInputsEnabled(bool enabled) override;
    double trackTwips() const override;
    void setProgress(const ProgressBar& bar) override;
    void showMessage(const Message& message) override;
    bool ask(const Question& question) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK paintProgress(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR form);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    // Takes the system's message font at the window's DPI and places the controls with it.
    void layout();
    void paintTrack(HDC dc, const RECT& track) const;
    void command(int id);
    void dropped(HDROP drop);
    // Handles the queued messages, as the dialog manager does for a dialog; false after WM_QUIT.
    bool dispatchPending();
    // Alt+B (the browse button has no letter to underline) and Ctrl+Q; true when it was one.
    bool shortcut(const MSG& message);
    HWND control(FormControl which) const { return controls_[static_cast<std::size_t>(which)]; }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::array<HWND, kFormControlCount> controls_{};  // the inputs and the progress track
    HWND tooltips_ = nullptr;
    HFONT font_ = nullptr;
    ProgressBar bar_;
    HWND focusBeforeLock_ = nullptr;
    HWND lastFocus_ = nullptr;          // given back when the window is active again
    std::optional<Message> afterDrop_;  // said once a drop of several files has ended
    bool quitting_ = false;
    int exitCode_ = 0;
    WindowFlow flow_;
};

}  // namespace vellicor
