// What a click on the window does, without a toolkit: read the form, run the file operation,
// report. The toolkit draws the form and implements FormView; texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "vellicor/decisions.h"
#include "vellicor/file_operations.h"

namespace vellicor {

// The form as the flow sees it.
class FormView {
public:
    virtual ~FormView() = default;
    virtual std::string nameText() const = 0;
    virtual void setNameText(const std::string& name) = 0;
    virtual QualityBox qualityBox() const = 0;
    // Disabled, no input may start an operation or change the name box; enabled again, the
    // focus is back where it was.
    virtual void setInputsEnabled(bool enabled) = 0;
    // Moves the bar and lets the toolkit handle its pending events.
    virtual void setProgress(std::int64_t done, std::int64_t total) = 0;
    // A modal message with the informative text under it (none when empty), and OK.
    virtual void showMessage(const std::string& text, const std::string& informativeText) = 0;
    // "NAME already exists. Replace it?" about the absolute name, No the default; true for Yes.
    virtual bool askReplace(const std::string& absoluteName) = 0;
    // The file dialog, opened at the typed name's folder; the name it holds when closed.
    virtual std::string chooseFile(const std::string& typed) = 0;
};

class WindowFlow {
public:
    WindowFlow(FormView& view, FileOperations& operations);

    // Each does nothing while an operation runs: the view handles events during one.
    void browseClicked();
    void compressClicked();
    void decompressClicked();

private:
    class InputsLock;

    ProgressReport progress();
    ReplaceQuestion replaceQuestion(const std::string& destination);
    // The message after an operation: the sentence, with the details under it.
    void report(const std::string& message, const lzc::Outcome& outcome, const std::string& source,
                const std::string& destination);

    FormView& view_;
    FileOperations& operations_;
    bool running_ = false;
};

}  // namespace vellicor
