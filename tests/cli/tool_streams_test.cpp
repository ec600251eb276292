// lzc over standard input and output, its reports (-t, -l, -v, -q) and its help.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "tool_fixture.h"

namespace lzc::test {
namespace {

TEST_F(LzcTool, NoFileOrDashUsesStandardInputAndOutput) {
    ChildOptions options;
    options.input = kExampleText;
    for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"-"}}) {
        const ChildResult result = lzc(arguments, options);
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_EQ(result.output, textOf(kExampleStream));
    }
    options.input = textOf(kExampleStream);
    const ChildResult restored = lzc({"-d"}, options);
    EXPECT_EQ(restored.exitCode, 0) << restored.errors;
    EXPECT_EQ(restored.output, kExampleText);
    EXPECT_EQ(listDirectory(dir.path()), std::vector<std::string>{});
}

TEST_F(LzcTool, StandardInputCanGoToANamedOutput) {
    ChildOptions options;
    options.input = kExampleText;
    EXPECT_EQ(lzc({"-o", "out.lzc"}, options).exitCode, 0);
    EXPECT_EQ(readBytes(dir / "out.lzc"), kExampleStream);
    const ChildResult again = lzc({"-o", "out.lzc"}, options);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.errors, "lzc: out.lzc: already exists (use -f to overwrite)\n");
}

TEST_F(LzcTool, StandardInputFailuresAreNamedStdin) {
    ChildOptions options;
    EXPECT_EQ(lzc({}, options).errors, "lzc: stdin: empty file\n");
    options.input = std::string(32768, 'x');
    EXPECT_EQ(lzc({}, options).errors, "lzc: stdin: larger than 32767 bytes\n");
    options.input = std::string("\x00\x09\x00\x01", 4);
    const ChildResult result = lzc({"-d"}, options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: stdin: not a valid .lzc stream\n");
    EXPECT_EQ(result.output, "");
}

TEST_F(LzcTool, RestoredFilesMayBeJoinedOnStandardOutput) {
    writeBytes(dir / "a.lzc", kExampleStream);
    writeText("bad.lzc", "");
    writeBytes(dir / "b.lzc", Bytes{0x80, 0x02, 'h', 'i'});
    const ChildResult result = lzc({"-dc", "a.lzc", "bad.lzc", "b.lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, kExampleText + "hi");
    EXPECT_EQ(result.errors, "lzc: bad.lzc: empty file\n");
    EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"a.lzc", "b.lzc", "bad.lzc"}));
}

TEST_F(LzcTool, AFullStandardOutputFailsTheFile) {
    writeText("data.txt", kExampleText);
    ChildOptions options;
    options.outputFd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(options.outputFd, 0);
    const ChildResult result = lzc({"-c", "data.txt"}, options);
    ::close(options.outputFd);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: stdout: No space left on device\n");
}

// A pseudo-terminal whose far end stands in for the user's screen.
class Terminal {
public:
    Terminal() {
        controller_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (controller_ >= 0 && ::grantpt(controller_) == 0 && ::unlockpt(controller_) == 0) {
            screen_ = ::open(::ptsname(controller_), O_RDWR | O_NOCTTY | O_CLOEXEC);
            ::fcntl(controller_, F_SETFL, O_NONBLOCK);
        }
    }
    ~Terminal() {
        for (int fd : {screen_, controller_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int screen() const { return screen_; }
    // Everything written to the screen so far.
    std::string shown() const {
        std::string text;
        char buffer[256];
        ssize_t n = 0;
        while ((n = ::read(controller_, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

private:
    int controller_ = -1;
    int screen_ = -1;
};

TEST_F(LzcTool, CompressedDataGoesToATerminalOnlyWithForce) {
    Terminal terminal;
    if (terminal.screen() < 0) {
        GTEST_SKIP() << "no pseudo-terminal available";
    }
    writeText("data.txt", kExampleText);
    writeBytes(dir / "data.txt.lzc", kExampleStream);
    ChildOptions options;
    options.outputFd = terminal.screen();
    options.input = kExampleText;

    ChildResult result = lzc({}, options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: compressed data not written to a terminal (use -f to force)\n");
    result = lzc({"-c", "data.txt"}, options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(terminal.shown(), "");

    // Writing files is not affected, nor is restoring to the terminal.
    EXPECT_EQ(lzc({"-o", "fresh.lzc", "data.txt"}, options).exitCode, 0);
    EXPECT_EQ(lzc({"-dc", "data.txt.lzc"}, options).exitCode, 0);
    EXPECT_EQ(terminal.shown(), kExampleText);

    result = lzc({"-f"}, options);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_NE(terminal.shown(), "");
}

TEST_F(LzcTool, TestChecksStreamsAndWritesNothing) {
    writeBytes(dir / "good.lzc", kExampleStream);
    writeBytes(dir / "bad.lzc", Bytes{0x00, 0x02, 0x00, 0x04});
    ChildResult result = lzc({"-t", "good.lzc"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output + result.errors, "");
    result = lzc({"-tv", "good.lzc", "bad.lzc", "missing.lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.errors,
              "good.lzc: OK, 14 -> 17 bytes (83.33%)\n"
              "lzc: bad.lzc: not a valid .lzc stream\n"
              "lzc: missing.lzc: no such file\n");
    EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"bad.lzc", "good.lzc"}));
}

TEST_F(LzcTool, ListShowsAlignedColumnsUnderAHeader) {
    writeBytes(dir / "data.txt.lzc", kExampleStream);
    writeBytes(dir / "a.lzc", Bytes{0x80, 0x01, 'a'});
    writeBytes(dir / "big.lzc",
               Bytes{0x80, 0x01, 'a', 'a', 0x00, 0x01, 0x7F, 0xFD, 0x80, 0x01, 'a'});
    writeText("bad.lzc", "\x80\x05");
    ChildResult result = lzc({"-l", "data.txt.lzc", "bad.lzc", "a.lzc", "big.lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output,
              "compressed   restored     ratio  name\n"
              "        14         17    83.33%  data.txt.lzc\n"
              "         3          1      200%  a.lzc\n"
              "        11      32767     0.03%  big.lzc\n"
              "        28      32785     0.08%  (totals)\n");
    EXPECT_EQ(result.errors, "lzc: bad.lzc: not a valid .lzc stream\n");

    result = lzc({"-lq", "data.txt.lzc", "a.lzc"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output,
              "        14         17    83.33%  data.txt.lzc\n"
              "         3          1      200%  a.lzc\n");

    ChildOptions options;
    options.input = textOf(kExampleStream);
    EXPECT_EQ(lzc({"-l"}, options).output,
              "compressed   restored     ratio  name\n"
              "        14         17    83.33%  stdin\n");
}

TEST_F(LzcTool, VerboseTellsNamesSizesAndRatio) {
    writeText("data.txt", kExampleText);
    ChildResult result = lzc({"-v", "data.txt"});
    EXPECT_EQ(result.errors, "data.txt -> data.txt.lzc: 17 -> 14 bytes (83.33%)\n");
    result = lzc({"-v", "-d", "-o", "copy", "data.txt.lzc"});
    EXPECT_EQ(result.errors, "data.txt.lzc -> copy: 14 -> 17 bytes (83.33%)\n");
    result = lzc({"-v", "-c", "data.txt"});
    EXPECT_EQ(result.errors, "data.txt -> stdout: 17 -> 14 bytes (83.33%)\n");
    EXPECT_EQ(result.output, textOf(kExampleStream));
    // Quiet leaves only errors.
    result = lzc({"-v", "-q", "--rm", "-o", "/dev/null", "data.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output + result.errors, "");
}

TEST_F(LzcTool, UsageErrorsExitWithTwoAndTouchNothing) {
    writeText("data.txt", kExampleText);
    for (const auto& arguments : {std::vector<std::string>{"-w", "0", "data.txt"},
                                  {"-w", "32768", "data.txt"},
                                  {"-Q", "best", "data.txt"},
                                  {"--bogus", "data.txt"},
                                  {"-t", "-l", "data.txt"}}) {
        const ChildResult result = lzc(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments[0];
        EXPECT_TRUE(result.errors.ends_with("\nTry 'lzc --help' for more information.\n"))
            << result.errors;
    }
    EXPECT_EQ(listDirectory(dir.path()), std::vector<std::string>{"data.txt"});
}

TEST_F(LzcTool, HelpAndVersion) {
    const ChildResult help = lzc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.starts_with("Usage: lzc [OPTION]... [FILE]...\n"));
    EXPECT_NE(help.output.find("Examples:\n"), std::string::npos);
    EXPECT_EQ(lzc({"-h"}).output, help.output);

    const ChildResult version = lzc({"-V"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(
        std::regex_match(version.output, std::regex("lzc \\(Vellicor\\) \\d+\\.\\d+\\.\\d+\n")));
}

TEST_F(LzcTool, TheManualDescribesEveryOptionOfTheHelp) {
    std::ifstream file(LZC_MANUAL);
    std::stringstream manual;
    manual << file.rdbuf();
    ASSERT_FALSE(manual.str().empty());
    const std::string help = lzc({"--help"}).output;
    const std::regex longOption("--([a-z-]+)");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), longOption);
         it != std::sregex_iterator(); ++it) {
        options.insert((*it)[1]);
    }
    EXPECT_GE(options.size(), 14U);
    for (const std::string& option : options) {
        std::string escaped;
        for (char c : option) {
            escaped += c == '-' ? "\\-" : std::string(1, c);
        }
        EXPECT_NE(manual.str().find("\\-\\-" + escaped), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace lzc::test
