// The window's flow without a toolkit: a recording view plays scripted sessions, and the tests
// compare what the model showed, step by step.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <vector>

#include "vellicor/path_text.h"
#include "vellicor/texts.h"
#include "vellicor/window_arguments.h"
#include "vellicor/window_flow.h"

namespace vellicor {
namespace {

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
            declined.status = lzc::Status::cancelled;
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

const char* const kCompressed =
    "info Vellicor: Compressed Size: 45.6% / Wrote 0 bytes to\n/d/a.lzc"
    "\nfrom the 0 bytes of\n/d/a [Open &Folder /d /d/a.lzc]";
const char* const kCompressionError = "warn Vellicor: An error has occured during compression / ";
const char* const kDecompressionError =
    "warn Vellicor: An error has occured during (de)compression / ";

TEST(WindowFlow, ScriptedSessions) {
    setenv("HOME", "/home/ada", 1);
    using enum lzc::Status;
    enum class Press { compress, decompress, browse };
    struct Session {
        std::string typed;
        QualityBox quality;
        Press press;
        lzc::Status status;
        int error;
        bool askFirst;
        std::string steps;
    };
    const std::string run = "off; compress /d/a -> /d/a.lzc at ";
    const std::string restore = "off; decompress /d/a.lzc -> /d/a; bar 50%; on; ";
    const Session sessions[] = {
        {"/d/a",
         {3, "Below average"},
         Press::compress,
         ok,
         0,
         false,
         run + "4092; bar 50%; on; " + kCompressed},
        // Typed into the quality box: its index, then the smallest search window.
        {"/d/a",
         {0, "Best"},
         Press::compress,
         ok,
         0,
         false,
         "info Vellicor: -1; " + run + "1024; bar 50%; on; " + kCompressed},
        // "Copy as path" quotes the name.
        {"\"/d/a\"",
         {0, "Optimal"},
         Press::compress,
         ok,
         0,
         false,
         run + "32767; bar 50%; on; " + kCompressed},
        {"'/d/a'",
         {5, "Very Poor!"},
         Press::compress,
         ok,
         0,
         false,
         run + "1024; bar 50%; on; " + kCompressed},
        // No to the replace question: nothing written, nothing more said, the bar empty again.
        {"/d/a",
         {0, "Optimal"},
         Press::compress,
         ok,
         0,
         true,
         run + "32767; bar 50%; ask Vellicor: a.lzc already exists. Replace it? / /d/a.lzc; on; "
               "bar 0%"},
        {"/d/a.lzc",
         {0, "Optimal"},
         Press::decompress,
         ok,
         0,
         false,
         restore + "info Vellicor: Successfully decompressed / Wrote 0 bytes to\n/d/a\nfrom the 0 "
                   "bytes of\n/d/a.lzc [Open &Folder /d /d/a]"},
        {"/d/a",
         {0, "Optimal"},
         Press::compress,
         sourceMissing,
         0,
         false,
         run + "32767; bar 50%; on; bar 0%; " + kCompressionError +
             "The file does not exist.\n/d/a"},
        {"/d/a",
         {0, "Optimal"},
         Press::compress,
         emptyInput,
         0,
         false,
         run + "32767; bar 50%; on; bar 0%; " + kCompressionError + "The file is empty.\n/d/a"},
        {"/d/a",
         {0, "Optimal"},
         Press::compress,
         sourceTooLarge,
         0,
         false,
         run + "32767; bar 50%; on; bar 0%; " + kCompressionError +
             "The file is larger than 32767 bytes.\n/d/a"},
        {"/d/a",
         {0, "Optimal"},
         Press::compress,
         writeFailed,
         EACCES,
         false,
         run + "32767; bar 50%; on; bar 0%; " + kCompressionError +
             "Permission denied: the file cannot be written.\n/d/a.lzc"},
        {"/d/a.lzc",
         {0, "Optimal"},
         Press::decompress,
         invalidStream,
         0,
         false,
         restore + "bar 0%; " + kDecompressionError + "This is not a valid .lzc stream.\n/d/a.lzc"},
        {"/d/a.lzc",
         {0, "Optimal"},
         Press::decompress,
         readFailed,
         EACCES,
         false,
         restore + "bar 0%; " + kDecompressionError +
             "Permission denied: the file cannot be read.\n/d/a.lzc"},
        {"/d/a.lzc",
         {0, "Optimal"},
         Press::decompress,
         writeFailed,
         ENOSPC,
         false,
         restore + "bar 0%; " + kDecompressionError + "The disk is full.\n/d/a"},
        // A folder, whichever way the file layer refuses it.
        {"/",
         {0, "Optimal"},
         Press::compress,
         sourceNotRegular,
         0,
         false,
         "off; compress / -> /.lzc at 32767; bar 50%; on; bar 0%; " +
             std::string(kCompressionError) + "This is a folder, not a file.\n/"},
        {"/",
         {0, "Optimal"},
         Press::compress,
         sourceMissing,
         0,
         false,
         "off; compress / -> /.lzc at 32767; bar 50%; on; bar 0%; " +
             std::string(kCompressionError) + "This is a folder, not a file.\n/"},
        {"/abc",
         {0, "Optimal"},
         Press::decompress,
         ok,
         0,
         false,
         kDecompressionError +
             std::string("No file name is left once the last four characters are removed.\n/abc")},
        {"",
         {0, "Optimal"},
         Press::compress,
         ok,
         0,
         false,
         kCompressionError + std::string("Type or choose a file name first.")},
        {"",
         {0, "Optimal"},
         Press::decompress,
         ok,
         0,
         false,
         kDecompressionError + std::string("Type or choose a file name first.")},
        {"~/a",
         {0, "Optimal"},
         Press::compress,
         sourceMissing,
         0,
         false,
         "off; compress /home/ada/a -> /home/ada/a.lzc at 32767; bar 50%; on; bar 0%; " +
             std::string(kCompressionError) + "The file does not exist.\n/home/ada/a"},
        // The file dialog: Cancel keeps the name box as it was.
        {"/none/x", {0, "Optimal"}, Press::browse, ok, 0, false, "open  "},
    };
    for (const Session& session : sessions) {
        RecordingView view;
        ScriptedOperations operations(view);
        operations.outcome.status = session.status;
        operations.outcome.systemError = session.error;
        operations.outcome.ratio = 4560;
        operations.askFirst = session.askFirst;
        WindowFlow flow(view, operations);
        view.name = session.typed;
        view.quality = session.quality;
        session.press == Press::compress     ? flow.compress()
        : session.press == Press::decompress ? flow.decompress()
                                             : flow.browse();
        EXPECT_EQ(joined(view.steps), session.steps) << session.typed;
        EXPECT_EQ(view.name, session.typed);
    }
}

std::string readFile(const std::filesystem::path& name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

void writeFile(const std::filesystem::path& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// Over the real file layer: the bytes written, the replace question, the details' sizes.
TEST(WindowFlow, SuccessSaysWhereAndReplacingAsksFirst) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("window_flow_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string source = utf8FromPath(dir / "notes.txt");
    const std::string compressed(
        "\x80\x04"
        "ABCDA\x00\x01\x00\x0c\x80\x01X",
        14);
    writeFile(source, "ABCDABCDABCDABCDX");
    RecordingView view;
    WindowFlow flow(view, fileLayerOperations());
    const auto press = [&](void (WindowFlow::*button)(), const std::string& name) {
        view.name = name;
        view.steps.clear();
        (flow.*button)();
        return view.steps.back();
    };
    const std::string folder = " [Open &Folder " + utf8FromPath(dir) + " ";
    EXPECT_EQ(press(&WindowFlow::compress, source),
              "info Vellicor: Compressed Size: 83.33% / Wrote 14 bytes to\n" + source +
                  ".lzc\nfrom the 17 bytes of\n" + source + folder + source + ".lzc]");
    EXPECT_EQ(readFile(source + ".lzc"), compressed);
    EXPECT_EQ(view.steps[view.steps.size() - 3], "bar 100%");  // the last report, past the end
    EXPECT_EQ(press(&WindowFlow::compress, source).substr(0, 38),
              "info Vellicor: Compressed Size: 83.33%");  // the same bytes: nothing to ask
    writeFile(source, "edited");
    EXPECT_EQ(press(&WindowFlow::compress, source), "bar 0%");  // No: nothing more is said
    EXPECT_EQ(view.steps[view.steps.size() - 3],
              "ask Vellicor: notes.txt.lzc already exists. Replace it? / " + source + ".lzc");
    EXPECT_EQ(press(&WindowFlow::decompress, source + ".lzc"), "bar 0%");
    EXPECT_EQ(readFile(source), "edited");
    view.replace = true;
    EXPECT_EQ(press(&WindowFlow::decompress, source + ".lzc"),
              "info Vellicor: Successfully decompressed / Wrote 17 bytes to\n" + source +
                  "\nfrom the 14 bytes of\n" + source + ".lzc" + folder + source + "]");
    EXPECT_EQ(readFile(source), "ABCDABCDABCDABCDX");
    EXPECT_EQ(
        press(&WindowFlow::compress, utf8FromPath(dir)),
        std::string(kCompressionError) + "This is a folder, not a file.\n" + utf8FromPath(dir));
    std::filesystem::remove_all(dir);
}

TEST(WindowFlow, FileDialogStartsInTheTypedFolder) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("window_dialog_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "one");
    writeFile(dir / "one" / "a.lzc", "x");
    const std::string one = utf8FromPath(dir / "one");
    struct Case {
        std::string typed;
        std::string folder;
        std::string file;
        std::size_t filter;
    };
    const Case cases[] = {
        {"one/new.txt", one, "", 0},
        {"one", one, "", 0},
        {"one/a.lzc", one, "a.lzc", 1},
        {"three/a.txt", "/last", "b.txt", 0},  // no such folder: the last choice's
        {"", "/last", "b.txt", 0},
    };
    for (const Case& each : cases) {
        const std::string typed = each.typed.empty() ? "" : utf8FromPath(dir / each.typed);
        const FileDialogRequest request = fileDialogRequest(typed, "/last/b.txt");
        EXPECT_EQ(request.folder + "|" + request.file, each.folder + "|" + each.file) << typed;
        EXPECT_EQ(request.selectedFilter, each.filter) << typed;
        EXPECT_EQ(request.filters[request.selectedFilter].pattern, each.filter ? "*.lzc" : "*");
    }
    RecordingView view;  // the choice lands in the name box and is where the dialog opens next
    WindowFlow flow(view, fileLayerOperations());
    view.chosen = utf8FromPath(dir / "one" / "a.lzc");
    flow.browse();
    view.name = "/none/x";
    flow.browse();
    EXPECT_EQ(joined(view.steps), "open  ; open " + one + " a.lzc");
    std::filesystem::remove_all(dir);
}

TEST(WindowFlow, DropNamesTheFirstFile) {
    RecordingView view;
    WindowFlow flow(view, fileLayerOperations());
    EXPECT_EQ(flow.filesDropped({"/tmp/a b"}), std::nullopt);
    const std::optional<Message> notice = flow.filesDropped({"/tmp/c", "/tmp/a\nb"});
    ASSERT_TRUE(notice);
    EXPECT_EQ(shown(*notice),
              "info Vellicor: 2 files were dropped; the first one was taken. / /tmp/c");
    EXPECT_EQ(view.name, "/tmp/c");
}

TEST(WindowModel, LanguageAndTexts) {
    struct Case {
        std::vector<std::string> preferred;
        std::string chosen;
        std::string compress;
        std::string description;
    };
    const Case cases[] = {
        {{"de-DE"}, "de", "&komprimieren", "(Alt+K)"},
        {{"es", "fr_CA.UTF-8"}, "fr", "&compresser", "(Alt+C)"},
        {{"en-US", "de"}, "en", "&compress", "(Alt+C)"},
        {{"es"}, "en", "&compress", "(Alt+C)"},
        {{}, "en", "&compress", "(Alt+C)"},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(useLanguage(each.preferred), each.chosen);
        const FormTexts texts = formTexts();
        EXPECT_EQ(texts.compressButton.caption, each.compress);
        EXPECT_TRUE(texts.compressButton.description.ends_with(each.description))
            << texts.compressButton.description;
    }
}

TEST(WindowModel, ProgressBarAndColours) {
    struct Case {
        std::int64_t done;
        std::int64_t total;
        double width;
        int percent;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 3, 1485, 33}, {17, 17, 4455, 100}, {18, 17, 4717, 100}};
    for (const Case& each : cases) {
        const ProgressBar bar = progressBar(4455, each.done, each.total);
        EXPECT_EQ(bar.widthTwips, each.width) << each.done;
        EXPECT_EQ(bar.percent, each.percent) << each.done;
    }
    EXPECT_EQ(progressColours(Theme::light).bar, ColourRole::blue);
    EXPECT_EQ(progressColours(Theme::dark).bar, ColourRole::highlight);
    EXPECT_EQ(progressColours(Theme::highContrast).border, ColourRole::windowText);
}

TEST(WindowArguments, CommandLine) {
    using Action = WindowArguments::Action;
    const std::string here = utf8FromPath(std::filesystem::current_path());
    struct Case {
        std::vector<std::string> arguments;
        Action action;
        std::string file;
        bool compress;
    };
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
    for (const Case& each : cases) {
        const WindowArguments read = readWindowArguments(each.arguments);
        EXPECT_EQ(read.action, each.action) << joined(each.arguments);
        EXPECT_EQ(read.file, each.file) << joined(each.arguments);
        EXPECT_EQ(read.compress, each.compress) << joined(each.arguments);
    }
    EXPECT_TRUE(
        readWindowArguments({"-h"}).text.starts_with("Usage: vellicor [--compress] [FILE]"));
}

}  // namespace
}  // namespace vellicor
