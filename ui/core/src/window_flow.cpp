#include "vellicor/window_flow.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "lzc/naming.h"
#include "vellicor/explanations.h"
#include "vellicor/path_text.h"
#include "vellicor/texts.h"

namespace vellicor {
namespace {

// Message boxes carry the program's name without its version.
constexpr const char* kBoxTitle = "Vellicor";

std::uintmax_t fileSize(const std::string& name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(pathFromUtf8(name), error);
    return error ? 0 : size;
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
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

void WindowFlow::browse() {
    if (running_) {
        return;
    }
    // Cancel leaves the name box as it was.
    if (const std::optional<std::string> chosen =
            view_.chooseFile(fileDialogRequest(readName(view_.nameText()), lastChosen_))) {
        lastChosen_ = *chosen;
        view_.setNameText(*chosen);
    }
}

void WindowFlow::compress() {
    if (running_) {
        return;
    }
    const int index = qualityIndex(view_.qualityBox());
    const QualityChoice quality = chooseQuality(index);
    if (quality.reportIndex) {
        view_.showMessage(
            Message{Message::Kind::information, kBoxTitle, std::to_string(index), {}, {}, {}, {}});
    }
    const std::string source = readName(view_.nameText());
    if (source.empty()) {
        refuse(compressionMessage(-1), emptyNameDetails());
        return;
    }
    const std::string destination = lzc::compressedName(source);
    lzc::Outcome outcome;
    {
        const InputsLock lock(*this);
        outcome =
            operations_.compress(pathFromUtf8(source), pathFromUtf8(destination),
                                 quality.searchWindow, progress(), replaceQuestion(destination));
    }
    const std::int32_t result = outcome.status == lzc::Status::ok ? outcome.ratio : -1;
    report(compressionMessage(result), outcome, source, destination);
}

void WindowFlow::decompress() {
    if (running_) {
        return;
    }
    const std::string source = readName(view_.nameText());
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
    report(decompressionMessage(outcome.status == lzc::Status::ok ? 0 : -1), outcome, source,
           *destination);
}

std::optional<Message> WindowFlow::filesDropped(const std::vector<std::string>& names) {
    if (running_ || names.empty()) {
        return std::nullopt;
    }
    view_.setNameText(names.front());
    if (names.size() == 1) {
        return std::nullopt;
    }
    return Message{
        Message::Kind::information,
        kBoxTitle,
        withValues(translate("vellicor::Form", "%1 files were dropped; the first one was taken."),
                   {std::to_string(names.size())}),
        lzc::quotedName(names.front()),
        {},
        {},
        {}};
}

ProgressReport WindowFlow::progress() {
    return [this](std::int64_t done, std::int64_t total) {
        view_.setProgress(progressBar(view_.trackTwips(), done, total));
    };
}

ReplaceQuestion WindowFlow::replaceQuestion(const std::string& destination) {
    return [this, name = absoluteName(destination)] {
        const std::string file = utf8FromPath(pathFromUtf8(name).filename());
        return view_.ask(
            Question{kBoxTitle,
                     withValues(translate("vellicor::Dialogs", "%1 already exists. Replace it?"),
                                {lzc::quotedName(file)}),
                     lzc::quotedName(name)});
    };
}

void WindowFlow::report(const std::string& message, const lzc::Outcome& outcome,
                        const std::string& source, const std::string& destination) {
    if (outcome.status != lzc::Status::ok) {
        // Nothing was written: the bar says so too.
        view_.setProgress(ProgressBar{});
        // Declining to replace the destination is the whole answer: nothing more to say.
        if (outcome.status != lzc::FileStatus::cancelled) {
            refuse(message, failureDetails(outcome, source, destination));
        }
        return;
    }
    const std::string written = absoluteName(destination);
    view_.showMessage(
        Message{Message::Kind::information, kBoxTitle, message,
                successDetails(destination, fileSize(destination), source, fileSize(source)),
                translate("vellicor::Dialogs", "Open &Folder"),
                utf8FromPath(pathFromUtf8(written).parent_path()), written});
}

void WindowFlow::refuse(const std::string& message, const std::string& details) {
    view_.showMessage(Message{Message::Kind::warning, kBoxTitle, message, details, {}, {}, {}});
}

FileDialogRequest fileDialogRequest(const std::string& typed, const std::string& lastChosen) {
#ifdef _WIN32
    constexpr const char* kAllFiles = "*.*";
#else
    constexpr const char* kAllFiles = "*";
#endif
    FileDialogRequest request{
        translate("vellicor::Dialogs", "Open"),
        {},
        {},
        {{translate("vellicor::Dialogs", "All files (*)"), kAllFiles},
         {translate("vellicor::Dialogs", "Compressed files (*.lzc)"), "*.lzc"}},
        typed.ends_with(".lzc") ? 1U : 0U};
    std::error_code error;
    const std::filesystem::path name =
        typed.empty() ? std::filesystem::path()
                      : std::filesystem::absolute(pathFromUtf8(typed), error).lexically_normal();
    if (!typed.empty() && isFolder(name)) {
        request.folder = utf8FromPath(name);
    } else if (!typed.empty() && isFolder(name.parent_path())) {
        request.folder = utf8FromPath(name.parent_path());
        if (std::filesystem::is_regular_file(name, error)) {
            request.file = utf8FromPath(name.filename());
        }
    } else if (!lastChosen.empty()) {
        const std::filesystem::path last = pathFromUtf8(lastChosen);
        request.folder = utf8FromPath(last.parent_path());
        request.file = utf8FromPath(last.filename());
    }
    return request;
}

std::string readName(std::string_view typed) {
    if (typed.size() >= 2 && (typed.front() == '"' || typed.front() == '\'') &&
        typed.back() == typed.front()) {
        typed = typed.substr(1, typed.size() - 2);
    }
    return withHomeFolder(typed);
}

}  // namespace vellicor
