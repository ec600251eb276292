// The window's flow without a toolkit: a recording view plays scripted sessions, and the tests
// compare what the model showed, step by step.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "test_support.h"

#include "vellicor/explanations.h"
#include "vellicor/path_text.h"
#include "vellicor/texts.h"
#include "vellicor/window_arguments.h"
#include "vellicor/window_flow.h"

namespace vellicor {
namespace {

using lzc::test::Bytes;
using lzc::test::bytesOf;
using lzc::test::readBytes;
using lzc::test::ScratchDir;
using lzc::test::writeBytes;

std::string shown(const Message& message) {
    std::string text = (message.kind == Message::Kind::information ? "info " : "warn ") +
                       message.title + ": " + message.text;
    if (!message.details.empty()) {
        text += " / " + message.details;
    }
    if (!message.folder.empty()) {
        text += " [" + message.openFolder + " " + message.folder + " " + message.file + "]";
    }
    return text;
}

// Records every step the flow shows, answering the question and the file dialog as scripted.
struct RecordingView final : FormView {
    std::string nameText() const override { return name; }
    void setNameText(const std::string& text) override { name = text; }
    QualityBox qualityBox() const override { return quality; }
    void setInputsEnabled(bool enabled) override { steps.push_back(enabled ? "on" : "off"); }
    double trackTwips() const override { return 4455; }
    void setProgress(const ProgressBar& bar) override {
        steps.push_back("bar " + std::to_string(bar.percent) + "%");
    }
    void showMessage(const Message& message) override { steps.push_back(shown(message)); }
    bool ask(const Question& question) override {
        steps.push_back("ask " + question.title + ": " + question.text + " / " + question.details);
        return replace;
    }
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override {
        steps.push_back("open " + request.folder + " " + request.file);
        return chosen;
    }

    std::string name;
    QualityBox quality{0, "Optimal"};
    bool replace = false;
    std::optional<std::string> chosen;
    std::vector<std::string> steps;
};

// Records the call, reports half done, asks before replacing when told to, returns `outcome`.
struct ScriptedOperations final : FileOperations {
    lzc::Outcome compress(const std::filesystem::path& source,
                          const std::filesystem::path& destination, std::int32_t searchWindow,
                          const ProgressReport& progress, const ReplaceQuestion& replace) override {
        return run("compress " + source.string() + " -> " + destination.string() + " at " +
                       std::to_string(searchWindow),
                   progress, replace);
    }
    lzc::Outcome decompress(const std::filesystem::path& source,
                            const std::filesystem::path& destination,
                            const ProgressReport& progress,
                            const ReplaceQuestion& replace) override {
        return run("decompress " + source.string() + " -> " + destination.string(), progress,
                   replace);
    }
    lzc::Outcome run(const std::string& call, const ProgressReport& progress,
                     const ReplaceQuestion& replace) {
        view.steps.push_back(call);
        progress(1, 2);
        if (askFirst && !replace()) {
            lzc::Outcome declined;
            declined.status = lzc::FileStatus::cancelled;
            return declined;
        }
        return outcome;
    }
    explicit ScriptedOperations(RecordingView& recording) : view(recording) {}
    RecordingView& view;
    lzc::Outcome outcome;
    bool askFirst = false;
};

std::string joined(const std::vector<std::string>& steps) {
    std::string text;
    for (const std::string& step : steps) {
        text += (text.empty() ? "" : "; ") + step;
    }
    return text;
}

const std::string kCompressionError = "warn Vellicor: An error has occured during compression / ";
const std::string kDecompressionError =
    "warn Vellicor: An error has occured during (de)compression / ";

TEST(WindowFlow, ScriptedSessions) {
    setenv("HOME", "/home/ada", 1);
    using enum lzc::Status;
    struct Session {
        std::string typed;
        QualityBox quality;
        char press;  // compress, decompress, browse
        lzc::OperationStatus status;
        bool askFirst;
        std::string steps;
    };
    const QualityBox best{0, "Optimal"};
    const std::string run = "off; compress /d/a -> /d/a.lzc at ";
    const std::string ran = "; bar 50%; on; ";
    const std::string restore = "off; decompress /d/a.lzc -> /d/a; bar 50%; on; ";
    const std::string compressed =
        "info Vellicor: Compressed Size: 45.6% / Wrote 0 bytes to\n"
        "/d/a.lzc\nfrom the 0 bytes of\n/d/a [Open &Folder /d /d/a.lzc]";
    const std::string folder = "off; compress / -> /.lzc at 32767" + ran + "bar 0%; " +
                               kCompressionError + "This is a folder, not a file.\n/";
    const Session sessions[] = {
        {"/d/a", {3, "Below average"}, 'c', ok, false, run + "4092" + ran + compressed},
        // Typed into the quality box: its index, then the smallest search window.
        {"/d/a",
         {0, "Best"},
         'c',
         ok,
         false,
         "info Vellicor: -1; " + run + "1024" + ran + compressed},
        // "Copy as path" quotes the name.
        {"\"/d/a\"", best, 'c', ok, false, run + "32767" + ran + compressed},
        // No to the replace question: nothing written, nothing more said, the bar empty again.
        {"/d/a", best, 'c', ok, true,
         run + "32767; bar 50%; ask Vellicor: a.lzc already exists. Replace it? / /d/a.lzc; on; "
               "bar 0%"},
        {"/d/a.lzc", best, 'd', ok, false,
         restore + "info Vellicor: Successfully decompressed / Wrote 0 bytes to\n/d/a\nfrom "
                   "the 0 bytes of\n/d/a.lzc [Open &Folder /d /d/a]"},
        {"/d/a.lzc", best, 'd', invalidStream, false,
         restore + "bar 0%; " + kDecompressionError + "This is not a valid .lzc stream.\n/d/a.lzc"},
        // A folder, whichever way the file layer refuses it.
        {"/", best, 'c', lzc::FileStatus::sourceNotRegular, false, folder},
        {"/", best, 'c', lzc::FileStatus::sourceMissing, false, folder},
        {"/abc", best, 'd', ok, false,
         kDecompressionError +
             "No file name is left once the last four characters are removed.\n/abc"},
        {"", best, 'c', ok, false, kCompressionError + "Type or choose a file name first."},
        {"", best, 'd', ok, false, kDecompressionError + "Type or choose a file name first."},
        {"~/a", best, 'c', lzc::FileStatus::sourceMissing, false,
         "off; compress /home/ada/a -> /home/ada/a.lzc at 32767" + ran + "bar 0%; " +
             kCompressionError + "The file does not exist.\n/home/ada/a"},
        // The file dialog: Cancel keeps the name box as it was.
        {"/none/x", best, 'b', ok, false, "open  "},
    };
    for (const Session& session : sessions) {
        RecordingView view;
        ScriptedOperations operations(view);
        operations.outcome.status = session.status;
        operations.outcome.ratio = 4560;
        operations.askFirst = session.askFirst;
        WindowFlow flow(view, operations);
        view.name = session.typed;
        view.quality = session.quality;
        session.press == 'c'   ? flow.compress()
        : session.press == 'd' ? flow.decompress()
                               : flow.browse();
        EXPECT_EQ(joined(view.steps), session.steps) << session.typed;
        EXPECT_EQ(view.name, session.typed);
    }
}

TEST(WindowFlow, FailureSaysWhyAndWhere) {
    using enum lzc::FileStatus;
    const std::tuple<lzc::OperationStatus, int, std::string> cases[] = {
        {lzc::Status::emptyInput, 0, "The file is empty.\n/d/a"},
        {lzc::Status::sourceTooLarge, 0, "The file is larger than 32767 bytes.\n/d/a"},
        {readFailed, EACCES, "Permission denied: the file cannot be read.\n/d/a"},
        {writeFailed, EACCES, "Permission denied: the file cannot be written.\n/d/a.lzc"},
        {writeFailed, ENOSPC, "The disk is full.\n/d/a.lzc"},
    };
    for (const auto& [status, error, details] : cases) {
        lzc::Outcome outcome;
        outcome.status = status;
        outcome.systemError = error;
        EXPECT_EQ(failureDetails(outcome, "/d/a", "/d/a.lzc"), details);
    }
}

// Over the real file layer (whose replace rules its own tests check): the bytes written, the
// details' sizes, No to the question.
TEST(WindowFlow, SuccessSaysWhereAndReplacingAsksFirst) {
    const ScratchDir dir;
    const std::string source = utf8FromPath(dir / "notes.txt");
    writeBytes(source, bytesOf("ABCDABCDABCDABCDX"));
    RecordingView view;
    WindowFlow flow(view, fileLayerOperations());
    const auto press = [&](void (WindowFlow::*button)(), const std::string& name) {
        view.name = name;
        view.steps.clear();
        (flow.*button)();
        return view.steps.back();
    };
    const std::string folder = " [Open &Folder " + utf8FromPath(dir.path()) + " ";
    EXPECT_EQ(press(&WindowFlow::compress, source),
              "info Vellicor: Compressed Size: 83.33% / Wrote 14 bytes to\n" + source +
                  ".lzc\nfrom the 17 bytes of\n" + source + folder + source + ".lzc]");
    const Bytes compressed = readBytes(source + ".lzc");  // the codec's own tests check its bytes
    EXPECT_EQ(view.steps[view.steps.size() - 3], "bar 100%");  // the last report, past the end
    writeBytes(source, bytesOf("edited"));
    EXPECT_EQ(press(&WindowFlow::compress, source), "bar 0%");  // No: nothing more is said
    EXPECT_EQ(readBytes(source + ".lzc"), compressed);
}

TEST(WindowFlow, FileDialogStartsInTheTypedFolder) {
    const ScratchDir dir;
    std::filesystem::create_directory(dir / "one");
    writeBytes(dir / "one/a.lzc", bytesOf("x"));
    const std::string one = utf8FromPath(dir / "one");
    const std::tuple<std::string, std::string, std::string, std::size_t> cases[] = {
        {"one/new.txt", one, "", 0},
        {"one", one, "", 0},
        {"one/a.lzc", one, "a.lzc", 1},
        {"three/a.txt", "/last", "b.txt", 0},  // no such folder: the last choice's
        {"", "/last", "b.txt", 0},
    };
    for (const auto& [name, folder, file, filter] : cases) {
        const std::string typed = name.empty() ? "" : utf8FromPath(dir / name);
        const FileDialogRequest request = fileDialogRequest(typed, "/last/b.txt");
        EXPECT_EQ(request.folder + "|" + request.file, folder + "|" + file) << typed;
        EXPECT_EQ(request.filters[request.selectedFilter].pattern, filter ? "*.lzc" : "*");
    }
    RecordingView view;  // the choice lands in the name box and is where the dialog opens next
    WindowFlow flow(view, fileLayerOperations());
    view.chosen = utf8FromPath(dir / "one" / "a.lzc");
    flow.browse();
    view.name = "/none/x";
    flow.browse();
    EXPECT_EQ(joined(view.steps), "open  ; open " + one + " a.lzc");
}

TEST(WindowModel, LanguageAndTexts) {
    using Case = std::tuple<std::vector<std::string>, std::string, std::string, std::string>;
    const Case cases[] = {
        {{"de-DE"}, "de", "&komprimieren", "(Alt+K)"},
        {{"es", "fr_CA.UTF-8"}, "fr", "&compresser", "(Alt+C)"},
        {{"en-US", "de"}, "en", "&compress", "(Alt+C)"},
        {{"es"}, "en", "&compress", "(Alt+C)"},
        {{}, "en", "&compress", "(Alt+C)"},
    };
    for (const auto& [preferred, chosen, compress, key] : cases) {
        EXPECT_EQ(useLanguage(preferred), chosen);
        const FormTexts texts = formTexts();
        EXPECT_EQ(texts.compressButton.caption, compress);
        EXPECT_TRUE(texts.compressButton.description.ends_with(key));
    }
}

TEST(WindowModel, ProgressBar) {
    const std::tuple<std::int64_t, std::int64_t, double, int> cases[] = {
        {0, 0, 0, 0}, {1, 3, 1485, 33}, {17, 17, 4455, 100}, {18, 17, 4717, 100}};
    for (const auto& [done, total, width, percent] : cases) {
        const ProgressBar bar = progressBar(4455, done, total);
        EXPECT_EQ(bar.widthTwips, width) << done;
        EXPECT_EQ(bar.percent, percent) << done;
    }
}

TEST(WindowArguments, CommandLine) {
    using Action = WindowArguments::Action;
    const std::string here = utf8FromPath(std::filesystem::current_path());
    using Case = std::tuple<std::vector<std::string>, Action, std::string, bool>;
    const Case cases[] = {
        {{}, Action::showWindow, "", false},
        {{"a b.lzc"}, Action::showWindow, here + "/a b.lzc", false},
        {{"--compress", "a"}, Action::showWindow, here + "/a", true},
        {{"--", "-x"}, Action::showWindow, here + "/-x", false},
        {{"a", "b"}, Action::refuse, "", false},
        {{"-x"}, Action::refuse, "", false},
        {{"a", "-h"}, Action::showHelp, "", false},
        {{"--help"}, Action::showHelp, "", false},
        {{"--version"}, Action::showVersion, "", false},
        {{"/?"}, Action::showWindow, "/?", false},  // a name on Linux; the help on Windows
    };
    for (const auto& [arguments, action, file, compress] : cases) {
        const WindowArguments read = readWindowArguments(arguments);
        EXPECT_EQ(read.action, action) << joined(arguments);
        EXPECT_EQ(read.file + (read.compress ? " now" : ""), file + (compress ? " now" : ""));
    }
    EXPECT_TRUE(
        readWindowArguments({"-h"}).text.starts_with("Usage: vellicor [--compress] [FILE]"));
}

}  // namespace
}  // namespace vellicor
