// lzc with people's files: sources that are not files, unusual names, failures next to an
// existing output, and a run that is killed part-way.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "tool_fixture.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

mode_t modeOf(const fs::path& name) {
    struct stat info {};
    EXPECT_EQ(::stat(name.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST_F(LzcTool, SourcesThatAreNotFilesAreRefusedAndCreateNothing) {
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);

    const ChildResult result = lzc({"folder", "fifo", "dangling"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "lzc: folder: not a regular file\n"
              "lzc: fifo: not a regular file\n"
              "lzc: dangling: no such file\n");
    EXPECT_EQ(lzc({"-d", "-o", "out", "fifo"}).exitCode, 1);
    EXPECT_EQ(listDirectory(dir.path()), (Names{"dangling", "fifo", "folder"}));
}

TEST_F(LzcTool, UnusualNamesRoundTrip) {
    const Bytes content = textLike(3000, 5);
    for (const std::string name : {"with spaces.txt", "Grüße — 漢字.txt", "-leading-dash"}) {
        writeBytes(dir / name, content);
        ASSERT_EQ(lzc({"--rm", "--", name}).exitCode, 0) << name;
        ASSERT_FALSE(exists(name)) << name;
        const ChildResult restored = lzc({"-d", "--", name + ".lzc"});
        ASSERT_EQ(restored.exitCode, 0) << name << ": " << restored.errors;
        EXPECT_EQ(readBytes(dir / name), content) << name;
    }
}

TEST_F(LzcTool, FailuresLeaveAnExistingOutputsBytesAndMode) {
    writeBytes(dir / "big", randomBytes(32768, 1));
    writeBytes(dir / "broken.lzc", Bytes{0x80, 0x01, 'a', 0, 0x00, 0x07, 0x00, 0x04});
    writeText("kept", "the only copy of something important");
    ASSERT_EQ(::chmod((dir / "kept").c_str(), 0640), 0);

    EXPECT_EQ(lzc({"-f", "-o", "kept", "big"}).exitCode, 1);
    EXPECT_EQ(lzc({"-d", "-f", "-o", "kept", "broken.lzc"}).exitCode, 1);
    EXPECT_EQ(lzc({"-f", "-o", "kept", "-"}).exitCode, 1);  // empty standard input

    EXPECT_EQ(readText("kept"), "the only copy of something important");
    EXPECT_EQ(modeOf(dir / "kept"), 0640U);
    EXPECT_EQ(listDirectory(dir.path()), (Names{"big", "broken.lzc", "kept"}));
}

// Starts `lzc -f -o out.lzc` reading from a pipe; returns its pid and the pipe's write end.
std::pair<pid_t, int> startReadingFromPipe(const fs::path& directory) {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    const std::string output = (directory / "out.lzc").string();
    std::string binary = LZC_BINARY;
    std::string force = "-f";
    std::string outputOption = "-o";
    std::string outputName = output;
    char* argv[] = {binary.data(), force.data(), outputOption.data(), outputName.data(), nullptr};
    pid_t pid = -1;
    EXPECT_EQ(::posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    return {pid, fds[1]};
}

// Waits until everything written to the pipe has been read: the child is then inside its
// reading loop, waiting for more.
bool waitUntilDrained(int writeEnd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int pending = 1;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::ioctl(writeEnd, FIONREAD, &pending) != 0) {
            return false;
        }
        if (pending == 0) {
            return true;
        }
        ::poll(nullptr, 0, 1);
    }
    return false;
}

TEST_F(LzcTool, KilledWhileReadingLeavesTheOutputAsItWas) {
    for (const int signal : {SIGKILL, SIGINT, SIGTERM}) {
        writeText("out.lzc", "earlier output");
        const auto [pid, writeEnd] = startReadingFromPipe(dir.path());
        const std::string part(4096, 'x');
        ASSERT_EQ(::write(writeEnd, part.data(), part.size()), static_cast<ssize_t>(part.size()));
        ASSERT_TRUE(waitUntilDrained(writeEnd)) << "signal " << signal;

        ASSERT_EQ(::kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ::close(writeEnd);
        EXPECT_TRUE(WIFSIGNALED(status)) << "signal " << signal;
        EXPECT_EQ(readText("out.lzc"), "earlier output") << "signal " << signal;
        EXPECT_EQ(listDirectory(dir.path()), Names{"out.lzc"}) << "signal " << signal;
    }
}

}  // namespace
}  // namespace lzc::test
