// lzc's own work, run in-process with its standard streams replaced: naming, modes, messages
// and exit status. What happens to files on disk is the file layer's, tested there.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "lzc_cli/command_line.h"
#include "lzc_cli/file_jobs.h"
#include "test_support.h"

namespace lzc::test {
namespace {

const Bytes kExampleStream = {0x80, 0x04, 'A',  'B',  'C',  'D',  'A',
                              0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 'X'};

std::string contentOf(int fd) {
    std::string text(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
    EXPECT_EQ(::pread(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    return text;
}

struct Ran {
    int status;
    std::string output;
    std::string errors;
};

// Runs lzc's inputs in `dir` as the command line `arguments` (split at spaces) asks, with
// `input` as standard input.
Ran lzc(const ScratchDir& dir, const std::string& arguments, const std::string& input = "",
        bool terminal = false) {
    std::vector<std::string> words;
    std::istringstream split(arguments);
    for (std::string word; split >> word;) {
        words.push_back(word);
    }
    const cli::ParsedCommandLine parsed =
        cli::parseCommandLine(std::vector<std::string_view>(words.begin(), words.end()));
    EXPECT_EQ(parsed.error, "") << arguments;
    const int in = ::memfd_create("in", 0);
    const int out = ::memfd_create("out", 0);
    std::FILE* messages = std::tmpfile();
    EXPECT_EQ(::pwrite(in, input.data(), input.size(), 0), static_cast<ssize_t>(input.size()));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const int status = cli::runInputs(parsed.settings, {in, out, messages, terminal, terminal});
    std::filesystem::current_path(previous);
    std::fflush(messages);
    Ran run{status, contentOf(out), contentOf(::fileno(messages))};
    std::fclose(messages);
    ::close(in);
    ::close(out);
    return run;
}

TEST(Lzc, NamesOutputsAndReportsEachFailingFileThenGoesOn) {
    ScratchDir dir;
    writeBytes(dir / "data.txt", bytesOf("ABCDABCDABCDABCDX"));
    writeBytes(dir / "empty", Bytes{});
    writeBytes(dir / "x.lzc", bytesOf("already"));
    writeBytes(dir / "x.lzc.lzc", bytesOf("in the way"));
    std::filesystem::create_directory(dir / "data.txt.lzc");
    Ran run = lzc(dir, "missing empty x.lzc data.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "lzc: missing: no such file\n"
              "lzc: empty: empty: the .lzc format cannot hold an empty file\n"
              "lzc: x.lzc: already ends in .lzc (use -f to compress it again)\n"
              "lzc: data.txt.lzc: is a directory\n");

    std::filesystem::remove(dir / "data.txt.lzc");
    EXPECT_EQ(lzc(dir, "-f x.lzc data.txt").status, 0);
    EXPECT_EQ(readBytes(dir / "data.txt.lzc"), kExampleStream);
    EXPECT_EQ(readBytes(dir / "x.lzc.lzc"), (Bytes{0x80, 0x07, 'a', 'l', 'r', 'e', 'a', 'd', 'y'}));

    run = lzc(dir, "-d data.txt.lzc x.lzc.lzc data.txt");
    EXPECT_EQ(
        run.errors,
        "lzc: data.txt: already exists (use -f to overwrite)\n"
        "lzc: x.lzc: already exists (use -f to overwrite)\n"
        "lzc: data.txt: does not end in .lzc (name the output with -o or write it with -c)\n");
    EXPECT_EQ(readBytes(dir / "x.lzc"), bytesOf("already"));
    // -q hides warnings, not what they do to the exit status.
    run = lzc(dir, "-dq x.lzc.lzc data.txt");
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 2);
}

TEST(Lzc, ListsTestsAndTellsWithTwoDecimals) {
    ScratchDir dir;
    writeBytes(dir / "a.lzc", kExampleStream);
    writeBytes(dir / "b.lzc", Bytes{0x80, 0x01, 'b'});
    writeBytes(dir / "bad.lzc", Bytes{0x00, 0x02, 0x00, 0x04});
    Ran run = lzc(dir, "-l a.lzc bad.lzc b.lzc");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "compressed   restored  comp/orig  name\n"
              "        14         17     83.33%  a.lzc\n"
              "         3          1    200.00%  b.lzc\n"
              "        17         18     94.73%  (totals)\n");
    EXPECT_EQ(run.errors, "lzc: bad.lzc: not a valid .lzc stream\n");

    const std::string stream(kExampleStream.begin(), kExampleStream.end());
    EXPECT_EQ(lzc(dir, "-tv -", stream).errors, "stdin: OK, 14 -> 17 bytes (83.33%)\n");
    run = lzc(dir, "-dv -", stream);
    EXPECT_EQ(run.output, "ABCDABCDABCDABCDX");
    EXPECT_EQ(run.errors, "stdin -> stdout: 14 -> 17 bytes (83.33%)\n");
}

TEST(Lzc, CompressedDataNeverMeetsATerminalWithoutForceAndTheOtherInputsGoOn) {
    ScratchDir dir;
    writeBytes(dir / "good.lzc", kExampleStream);
    writeBytes(dir / "data", bytesOf("ABCDABCDABCDABCDX"));
    for (const std::string mode : {"", "-d", "-t", "-l"}) {
        const bool compressing = mode.empty();
        std::filesystem::remove(dir / "data.lzc");
        std::filesystem::remove(dir / "good");
        const Ran run = lzc(dir, mode + (compressing ? " - data" : " - good.lzc"), "ABC", true);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, compressing ? "lzc: stdin: compressed data not written to a terminal "
                                            "(use -f to force)\n"
                                          : "lzc: stdin: compressed data not read from a terminal "
                                            "(use -f to force)\n");
        EXPECT_EQ(std::filesystem::exists(dir / (compressing ? "data.lzc" : "good")),
                  compressing || mode == "-d");
        EXPECT_EQ(lzc(dir, mode + " -f -", "ABC", true).status, compressing ? 0 : 1);
    }
}

// -T 4 against -T 1, compressing a walked directory and then restoring it over the originals:
// the same outputs, the same messages in the same order, and the same status when a file in the
// middle fails (an empty file; an invalid stream) and another's output is in the way. The files'
// sizes differ a lot, so that threads finish them out of order.
TEST(Lzc, ManyThreadsGiveTheOutputsMessagesAndStatusOfOne) {
    std::vector<std::string> seen;  // for each count: the messages, then every file and its bytes
    for (const unsigned threads : {1U, 4U}) {
        ScratchDir dir;
        std::filesystem::create_directory(dir / "d");
        for (std::uint32_t at = 0; at < 40; ++at) {
            writeBytes(dir / ("d/f" + std::to_string(10 + at)),
                       at == 17 ? Bytes{} : textLike(at % 4 == 0 ? 32000 : 50 + at, at));
        }
        writeBytes(dir / "d/f35.lzc", bytesOf("in the way"));
        std::string all;
        for (const char* mode : {"-rv", "-drvf"}) {
            const Ran ran = lzc(dir, mode + std::string(" -T ") + std::to_string(threads) + " d");
            EXPECT_EQ(ran.status, 1);
            all += ran.errors;
            for (const std::string& name : listDirectory(dir / "d")) {
                const Bytes bytes = readBytes(dir / ("d/" + name));
                all += name + ": " + std::string(bytes.begin(), bytes.end()) + "\n";
            }
        }
        seen.push_back(all);
    }
    EXPECT_TRUE(seen[1] == seen[0]);
}

// The program under its three names, run in a directory holding a, a.lzc and a directory b:
// each line's exit status and standard output.
TEST(Lzc, NamesAndExitStatuses) {
    ScratchDir dir;
    writeBytes(dir / "a", bytesOf("ABCDABCDABCDABCDX"));
    writeBytes(dir / "a.lzc", kExampleStream);
    std::filesystem::create_directory(dir / "b");
    for (const char* name : {"lzc", "lzcat", "unlzc"}) {
        std::filesystem::create_symlink(LZC_BINARY, dir / name);
    }
    const std::vector<std::tuple<std::string, int, std::string>> lines = {
        {"lzcat a.lzc", 0, "ABCDABCDABCDABCDX"},
        {"unlzc < a.lzc", 0, "ABCDABCDABCDABCDX"},
        {"unlzc a.lzc", 2, ""},    // a is there already
        {"lzc b", 2, ""},          // a directory
        {"lzc missing a", 1, ""},  // an error outranks a warning
        {"lzc -w0 a", 1, ""},
        {"lzc --help -w0", 0, cli::helpText()},
    };
    for (const auto& [command, status, output] : lines) {
        const int exit = std::system(
            ("cd '" + dir.path().string() + "' && ./" + command + " >out 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(exit), status) << command;
        EXPECT_EQ(readBytes(dir / "out"), bytesOf(output)) << command;
    }
}

}  // namespace
}  // namespace lzc::test
