// What a click on the window does, without a toolkit: read the form, run the file operation,
// report. The toolkit draws the form and implements FormView; texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vellicor/decisions.h"
#include "vellicor/file_operations.h"

namespace vellicor {

// A message box's contents: information after a success, a warning after a failure.
struct Message {
    enum class Kind { information, warning };
    Kind kind = Kind::information;
    std::string text;
    std::string informativeText;  // under the text; none when empty
    std::string folder;           // after a success: the folder holding the output, to open
};

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
    // Moves the bar and lets the toolkit handle its pending events.
    virtual void setProgress(std::int64_t done, std::int64_t total) = 0;
    // A modal message with OK (and a button that opens its folder, when it has one).
    virtual void showMessage(const Message& message) = 0;
    // "NAME already exists. Replace it?" about the absolute name, No the default; true for Yes.
    virtual bool askReplace(const std::string& absoluteName) = 0;
    // The file dialog, opened at the typed name's folder: the file chosen, nullopt on Cancel.
    virtual std::optional<std::string> chooseFile(const std::string& typed) = 0;
};

class WindowFlow {
public:
    WindowFlow(FormView& view, FileOperations& operations);

    // Each does nothing while an operation runs: the view handles events during one. The name
    // box is read with "~" as the home folder.
    void browseClicked();
    void compressClicked();
    void decompressClicked();
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
    bool running_ = false;
};

}  // namespace vellicor
