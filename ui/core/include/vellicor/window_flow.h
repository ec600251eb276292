// What the window does, without a toolkit: read the form, run the file operation, report. A
// toolkit draws the form and implements FormView, passing every input on to WindowFlow.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vellicor/decisions.h"
#include "vellicor/file_operations.h"
#include "vellicor/window_model.h"

namespace vellicor {

// The form as the flow sees it.
class FormView {
public:
    virtual ~FormView() = default;
    virtual std::string nameText() const = 0;
    virtual void setNameText(const std::string& name) = 0;
    virtual QualityBox qualityBox() const = 0;
    // Disabled, no input may start an operation or change the name box; the focus stays where
    // it is, and is there when they are enabled again.
    virtual void setInputsEnabled(bool enabled) = 0;
    // The track's width in twips, as it is placed.
    virtual double trackTwips() const = 0;
    // Moves the bar and lets the toolkit handle its pending events.
    virtual void setProgress(const ProgressBar& bar) = 0;
    // Returns once the user has closed the box (and opened the folder, if asked).
    virtual void showMessage(const Message& message) = 0;
    // True for Yes.
    virtual bool ask(const Question& question) = 0;
    // The file chosen, nullopt on Cancel.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
};

class WindowFlow {
public:
    WindowFlow(FormView& view, FileOperations& operations);

    // Each does nothing while an operation runs: the view handles events during one. The name
    // box is read as readName reads it.
    void browse();
    void compress();
    void decompress();
    // Files dropped on the window: the first one names the file. With several, the notice to
    // show once the drop has ended.
    std::optional<Message> filesDropped(const std::vector<std::string>& names);
    bool running() const { return running_; }

private:
    class InputsLock;

    ProgressReport progress();
    ReplaceQuestion replaceQuestion(const std::string& destination);
    // The message after an operation: the sentence, with the details under it.
    void report(const std::string& message, const lzc::Outcome& outcome, const std::string& source,
                const std::string& destination);
    // The warning with `details` under it.
    void refuse(const std::string& message, const std::string& details);

    FormView& view_;
    FileOperations& operations_;
    std::string lastChosen_;  // in the file dialog; where it opens when the typed folder is none
    bool running_ = false;
};

// The file dialog for the name typed (as read) and the file chosen last time: it opens in the
// typed name's folder (the name itself when it is a folder, showing the file when it is one),
// else in the last choice's; a name ending in .lzc selects the .lzc filter.
FileDialogRequest fileDialogRequest(const std::string& typed, const std::string& lastChosen);

// The name box as a name: without the quotes around it that "Copy as path" and many file
// managers add, and with "~" for the home folder (withHomeFolder).
std::string readName(std::string_view typed);

}  // namespace vellicor
