#include "vellicor/window_flow.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "lzc/naming.h"
#include "vellicor/explanations.h"
#include "vellicor/path_text.h"

namespace vellicor {
namespace {

std::uintmax_t fileSize(const std::string& name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(pathFromUtf8(name), error);
    return error ? 0 : size;
}

}  // namespace

// Holds the inputs disabled for as long as an operation runs.
class WindowFlow::InputsLock {
public:
    explicit InputsLock(WindowFlow& flow) : flow_(flow) {
        flow_.running_ = true;
        flow_.view_.setInputsEnabled(false);
    }
    ~InputsLock() {
        flow_.running_ = false;
        flow_.view_.setInputsEnabled(true);
    }
    InputsLock(const InputsLock&) = delete;
    InputsLock& operator=(const InputsLock&) = delete;

private:
    WindowFlow& flow_;
};

WindowFlow::WindowFlow(FormView& view, FileOperations& operations)
    : view_(view), operations_(operations) {}

void WindowFlow::browseClicked() {
    if (running_) {
        return;
    }
    // Cancel leaves the name box as it was.
    if (const std::optional<std::string> chosen =
            view_.chooseFile(withHomeFolder(view_.nameText()))) {
        view_.setNameText(*chosen);
    }
}

void WindowFlow::compressClicked() {
    if (running_) {
        return;
    }
    const int index = qualityIndex(view_.qualityBox());
    const QualityChoice quality = chooseQuality(index);
    if (quality.reportIndex) {
        view_.showMessage(Message{Message::Kind::information, std::to_string(index), {}, {}});
    }
    const std::string source = withHomeFolder(view_.nameText());
    if (source.empty()) {
        refuse(compressionMessage(-1), emptyNameDetails());
        return;
    }
    const std::string destination = lzc::compressedName(source);
    lzc::Outcome outcome;
    {
        const InputsLock lock(*this);
        outcome = operations_.compress(pathFromUtf8(source), pathFromUtf8(destination),
                                       quality.window, progress(), replaceQuestion(destination));
    }
    // Declining to replace the destination is the whole answer: nothing more to say.
    if (outcome.status != lzc::Status::cancelled) {
        const std::int32_t result = outcome.status == lzc::Status::ok ? outcome.ratio : -1;
        report(compressionMessage(result), outcome, source, destination);
    }
}

void WindowFlow::decompressClicked() {
    if (running_) {
        return;
    }
    const std::string source = withHomeFolder(view_.nameText());
    const std::optional<std::string> destination = decompressionDestination(source);
    if (!destination) {
        refuse(decompressionMessage(-1),
               source.empty() ? emptyNameDetails() : noRestoredNameDetails(source));
        return;
    }
    lzc::Outcome outcome;
    {
        const InputsLock lock(*this);
        outcome = operations_.decompress(pathFromUtf8(source), pathFromUtf8(*destination),
                                         progress(), replaceQuestion(*destination));
    }
    if (outcome.status != lzc::Status::cancelled) {
        report(decompressionMessage(outcome.status == lzc::Status::ok ? 0 : -1), outcome, source,
               *destination);
    }
}

ProgressReport WindowFlow::progress() {
    return [this](std::int64_t done, std::int64_t total) { view_.setProgress(done, total); };
}

ReplaceQuestion WindowFlow::replaceQuestion(const std::string& destination) {
    return [this, name = absoluteName(destination)] { return view_.askReplace(name); };
}

void WindowFlow::report(const std::string& message, const lzc::Outcome& outcome,
                        const std::string& source, const std::string& destination) {
    if (outcome.status != lzc::Status::ok) {
        refuse(message, failureDetails(outcome, source, destination));
        return;
    }
    const std::string written = absoluteName(destination);
    view_.showMessage(
        Message{Message::Kind::information, message,
                successDetails(destination, fileSize(destination), source, fileSize(source)),
                utf8FromPath(pathFromUtf8(written).parent_path())});
}

void WindowFlow::refuse(const std::string& message, const std::string& details) {
    view_.showMessage(Message{Message::Kind::warning, message, details, {}});
}

}  // namespace vellicor
