// lzc run by root in a directory that a second, unprivileged user can write: whatever that
// user puts at the names lzc reads and writes (links, FIFOs, devices, hard links, directories,
// files swapped while lzc runs), root's files stay root's and nothing is written through a name.
// The lzc binary under test is LZC_BINARY, or the one named by LZC_UNDER_TEST.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;  // nobody, in group nogroup
const Bytes kData = bytesOf("ABCDABCDABCDABCDX");
const Bytes kStream = {0x80, 0x04, 'A',  'B',  'C',  'D',  'A',
                       0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 'X'};
constexpr const char* kStreamAsPrintf = R"(\200\004ABCDA\000\001\000\014\200\001X)";

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Takes on the other user's identity, in a child process.
bool becomeOtherUser() {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(kOtherUser, kOtherUser, kOtherUser) == 0 &&
           ::setresuid(kOtherUser, kOtherUser, kOtherUser) == 0;
}

// Runs lzc with `arguments` (split at spaces) in `directory`, as root or as the other user, and
// ends it after a minute, which only a hang takes (a run that blocks, on a FIFO say, then
// reports 142, for SIGALRM).
// Its messages go to `errors`. No shell comes between: a race loses nothing to starting one.
int runLzc(const fs::path& directory, const std::string& arguments, std::string& errors,
           bool asOther = false) {
    const char* binary = std::getenv("LZC_UNDER_TEST");
    static const ScratchDir logs;  // root's own, not the shared directory's
    const fs::path log = logs / "errors";
    std::vector<std::string> words{binary != nullptr ? binary : LZC_BINARY};
    std::istringstream split(arguments);
    for (std::string word; split >> word;) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open("/dev/null", O_WRONLY);
        const int messages = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (in >= 0 && out >= 0 && messages >= 0 && ::dup2(in, 0) == 0 && ::dup2(out, 1) == 1 &&
            ::dup2(messages, 2) == 2 && ::chdir(directory.c_str()) == 0 &&
            (!asOther || becomeOtherUser())) {
            ::alarm(60);  // kept across exec
            ::execv(argv[0], argv.data());
        }
        ::_exit(127);
    }
    int status = 0;
    EXPECT_GT(child, 0);
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    const Bytes text = readBytes(log);
    errors.assign(text.begin(), text.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs the shell `script` as the other user in `directory`.
void asOtherUser(const fs::path& directory, const std::string& script) {
    ASSERT_EQ(
        shell("cd '" + directory.string() +
              "' && setpriv --reuid=65534 --regid=65534 --clear-groups sh -c '" + script + "'"),
        0)
        << script;
}

struct stat entryOf(const fs::path& name) {
    struct stat info {};
    EXPECT_EQ(::lstat(name.c_str(), &info), 0) << name;
    return info;
}

// What stands at `name`, in a few words: "none"; for a regular file its owner, permissions and
// what it holds ("root 600 stream", "other 644 data"); for anything else its type and inode,
// which only the same entry matches.
std::string entryText(const fs::path& name) {
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0) {
        return "none";
    }
    if (!S_ISREG(info.st_mode)) {
        return "mode " + std::to_string(info.st_mode) + ", inode " + std::to_string(info.st_ino);
    }
    const Bytes bytes = readBytes(name);
    std::ostringstream text;
    text << (info.st_uid == 0            ? "root"
             : info.st_uid == kOtherUser ? "other"
                                         : "uid?")
         << ' ' << std::oct << (info.st_mode & 07777)
         << (bytes == kStream ? " stream"
             : bytes == kData ? " data"
                              : " other bytes");
    return text.str();
}

// A shared directory beside root's private file, which the other user cannot reach.
struct SharedDirectory {
    explicit SharedDirectory(bool sticky) {
        fs::permissions(scratch.path(), fs::perms(0755));
        writeBytes(secret, kData);
        fs::permissions(secret, fs::perms(0600));
        fs::create_directory(path);
        EXPECT_EQ(::chown(path.c_str(), 0, kOtherUser), 0);
        EXPECT_EQ(::chmod(path.c_str(), sticky ? 01777 : 02770), 0);
    }
    ScratchDir scratch;
    const fs::path secret = scratch / "secret";
    const fs::path path = scratch / "shared";
};

// Every test acts as a second user, which only root can.
class HostileDirectory : public testing::Test {
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root, to act as a second user";
        }
    }
};

TEST_F(HostileDirectory, WhatTheOtherUserPutsAtANameNeverMakesRootWriteThroughIt) {
    struct Row {
        const char* prepare;  // the other user's shell script
        const char* arguments;
        int status;
        const char* errors;
        const char* output;  // the name written or left alone
        const char* after;   // what stands there afterwards (entryText); null: as before
    };
    const std::string ownStream = std::string("printf \"") + kStreamAsPrintf +
                                  "\" > x.lzc && chmod 644 x.lzc && ln -s ../secret x";
    constexpr const char* kExists = "lzc: data.lzc: already exists (use -f to overwrite)\n";
    const Row rows[] = {
        {"ln -s ../secret data.lzc", "data", 2, kExists, "data.lzc", nullptr},
        {"ln -s ../secret data.lzc", "-f data", 0, "", "data.lzc", "root 600 stream"},
        {ownStream.c_str(), "-df x.lzc", 0, "", "x", "other 644 data"},
        {"mkfifo data.lzc", "data", 2, kExists, "data.lzc", nullptr},
        {"mkfifo data.lzc", "-f data", 0, "", "data.lzc", "root 600 stream"},
        {"ln -s /dev/zero data.lzc", "data", 2, kExists, "data.lzc", nullptr},
        {"ln -s /dev/zero data.lzc", "-f data", 0, "", "data.lzc", "root 600 stream"},
        {"echo mine > mine && ln mine data.lzc", "-f data", 0, "", "data.lzc", "root 600 stream"},
        {"mkdir data.lzc", "-f data", 1, "lzc: data.lzc: is a directory\n", "data.lzc", nullptr},
        {"ln -s ../secret weekly.log", "weekly.log", 1, "lzc: weekly.log: is a symbolic link\n",
         "weekly.log.lzc", "none"},
    };
    for (const bool sticky : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.prepare) + " | lzc " + row.arguments +
                         (sticky ? ", sticky" : ", group-writable"));
            const SharedDirectory shared(sticky);
            writeBytes(shared.path / "data", kData);
            fs::permissions(shared.path / "data", fs::perms(0600));
            asOtherUser(shared.path, row.prepare);
            const std::string before = entryText(shared.path / row.output);
            std::string errors;
            EXPECT_EQ(runLzc(shared.path, row.arguments, errors), row.status);
            EXPECT_EQ(errors, row.errors);
            EXPECT_EQ(entryText(shared.secret), "root 600 data");
            EXPECT_EQ(entryText(shared.path / row.output), row.after ? row.after : before);
            if (fs::exists(shared.path / "mine")) {
                EXPECT_EQ(readBytes(shared.path / "mine"), bytesOf("mine\n"));
            }
        }
    }
}

// A tree with a link out of it, a link back up it, a directory only root can read, names with
// and without .lzc and one with a line break: -r stays inside and goes on past what it cannot
// read.
TEST_F(HostileDirectory, ARecursiveRunStaysInTheTreeAndGoesOnPastWhatItCannotRead) {
    const SharedDirectory shared(true);
    const fs::path tree = shared.path / "tree";
    asOtherUser(shared.path,
                std::string("mkdir -p tree/sub tree/closed outside && cd tree && "
                            "printf ABCDABCDABCDABCDX > a.txt && cp a.txt closed/x.txt"
                            " && cp a.txt ../outside/o.txt && cp a.txt \"sub/new\nline\""
                            " && printf \"") +
                    kStreamAsPrintf +
                    "\" > done.txt.lzc && ln -s ../outside out && ln -s .. sub/loop");
    ASSERT_EQ(::chown((tree / "closed").c_str(), 0, 0), 0);
    fs::permissions(tree / "closed", fs::perms(0700));
    constexpr const char* kLinks =
        "lzc: tree/out: is a symbolic link -- skipped\n"
        "lzc: tree/sub/loop: is a symbolic link -- skipped\n";
    struct Walk {
        bool asOther;
        const char* arguments;
        int status;
        std::string errors;
        std::vector<const char*> made;  // in the tree, holding kStream or kData by their suffix
    };
    const Walk walks[] = {
        {true,
         "-r tree",
         1,
         std::string("lzc: tree/closed: Permission denied\n"
                     "lzc: tree/done.txt.lzc: already ends in .lzc -- skipped\n") +
             kLinks,
         {"a.txt.lzc", "sub/new\nline.lzc"}},
        {false,
         "-dr --rm tree",
         2,
         std::string("lzc: tree/a.txt: does not end in .lzc -- skipped\n"
                     "lzc: tree/a.txt: already exists (use -f to overwrite)\n"
                     "lzc: tree/closed/x.txt: does not end in .lzc -- skipped\n") +
             kLinks +
             "lzc: 'tree/sub/new'$'\\n''line': does not end in .lzc -- skipped\n"
             "lzc: 'tree/sub/new'$'\\n''line': already exists (use -f to overwrite)\n",
         {"done.txt", "sub/new\nline.lzc"}},
    };
    for (const Walk& row : walks) {
        SCOPED_TRACE(row.arguments);
        std::string errors;
        EXPECT_EQ(runLzc(shared.path, row.arguments, errors, row.asOther), row.status);
        EXPECT_EQ(errors, row.errors);
        for (const char* made : row.made) {
            EXPECT_EQ(readBytes(tree / made),
                      std::string_view(made).ends_with(".lzc") ? kStream : kData)
                << made;
        }
        EXPECT_EQ(listDirectory(shared.path / "outside"), std::vector<std::string>{"o.txt"});
        EXPECT_EQ(listDirectory(tree / "closed"), std::vector<std::string>{"x.txt"});
    }
    EXPECT_EQ(listDirectory(tree),
              (std::vector<std::string>{"a.txt", "a.txt.lzc", "closed", "done.txt", "out", "sub"}));
}

// The other user, in a child process, swaps two names in `directory` with each other, over and
// over, until it goes.
class Swapper {
public:
    Swapper(const fs::path& directory, const char* one, const char* other) : pid_(::fork()) {
        EXPECT_GE(pid_, 0);
        if (pid_ != 0) {
            return;
        }
        if (becomeOtherUser() && ::chdir(directory.c_str()) == 0) {
            for (;;) {
                ::renameat2(AT_FDCWD, one, AT_FDCWD, other, RENAME_EXCHANGE);
            }
        }
        ::_exit(1);
    }
    Swapper(const Swapper&) = delete;
    Swapper& operator=(const Swapper&) = delete;
    ~Swapper() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_;
};

// The races count runs, never seconds: a slow or busy machine only takes longer. Each goes on
// for a number of runs, and then until the swap has really been met a number of times, but
// never for more than this many times its number of runs (the swap is then taken for broken).
// A run that hangs is ended by runLzc.
constexpr int kRunsAtMost = 10;

// The other user swaps a file of theirs with a link to root's private file while root
// compresses it, with -f (links followed) and without. Whatever root read, its output must say
// so: the private bytes only ever land in a file that is root's and private.
TEST_F(HostileDirectory, ASourceSwappedWhileItIsReadNeverLeaksRootsFile) {
    const SharedDirectory shared(false);  // not sticky, where the kernel would refuse links
    asOtherUser(shared.path,
                "echo report > report.txt && chmod 644 report.txt && "
                "ln -s ../secret swap");
    const Swapper swapper(shared.path, "report.txt", "swap");
    // At least this many runs, and until the secret has been read this many times.
    constexpr int kRuns = 200;
    constexpr int kSecretsRead = 20;
    int leaks = 0;
    int runs = 0;
    int secretsRead = 0;
    for (; runs < kRuns || (secretsRead < kSecretsRead && runs < kRuns * kRunsAtMost); ++runs) {
        const bool force = runs % 2 == 0;
        fs::remove(shared.path / "report.txt.lzc");
        std::string errors;
        if (runLzc(shared.path, force ? "-f report.txt" : "report.txt", errors) != 0) {
            continue;
        }
        const struct stat output = entryOf(shared.path / "report.txt.lzc");
        if (readBytes(shared.path / "report.txt.lzc") == kStream) {
            ++secretsRead;
            leaks += !force || output.st_uid != 0 || (output.st_mode & 0077) != 0;
        } else {
            leaks += output.st_uid != kOtherUser;
        }
    }
    EXPECT_EQ(leaks, 0) << "in " << runs << " runs, " << secretsRead << " of them read the secret";
    EXPECT_GE(secretsRead, kSecretsRead) << "the race never happened in " << runs << " runs";
}

// Root's operand has a directory on its path that the other user owns, as a nightly job run by
// root compresses /srv/upload/USER/report.txt: while root runs lzc on shared/real/NAME, the other
// user swaps shared/real, a directory of theirs, with a link to a directory only root can reach,
// over and over. Whichever directory the path led to, everything happens in that one: each holds
// afterwards only its own source and the output made from it (the source gone only with --rm,
// and only once its output is beside it). So nothing of the other user's is planted in root's
// directory, no file of root's is removed after another was read, and none of root's bytes lands
// in the other user's directory.
TEST_F(HostileDirectory, ADirectorySwappedOnAnOperandsPathKeepsEachRunInOneDirectory) {
    const Bytes others = bytesOf("mine\n");
    const Bytes othersStream = {0x80, 0x05, 'm', 'i', 'n', 'e', '\n'};
    struct Row {
        const char* arguments;  // in the scratch directory, as root
        const char* source;     // in each of the two directories
        const char* output;
        bool restores;  // the sources hold streams, the outputs data
        bool removes;   // --rm: a source may go, once its output is beside it
    };
    const Row rows[] = {
        {"-d shared/real/payload.lzc", "payload.lzc", "payload", true, false},
        {"--rm shared/real/file", "file", "file.lzc", false, true},
        {"shared/real/notes", "notes", "notes.lzc", false, false},
    };
    // At least this many runs of each row, and until each directory has been worked in this
    // many times: the path led to both.
    constexpr int kRuns = 150;
    constexpr int kEach = 15;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("lzc ") + row.arguments);
        const SharedDirectory shared(false);
        fs::create_directory(shared.scratch / "private");
        fs::permissions(shared.scratch / "private", fs::perms(0700));
        asOtherUser(shared.path, "mkdir real && ln -s ../private link");
        // Each directory as root reaches it whatever its name is at the moment: through a
        // descriptor opened before the swapping starts.
        struct Side {
            const char* who;
            const char* foreign;  // the other directory's output, were it to land here
            uid_t owner;
            Bytes source;
            Bytes output;
            int fd;
            fs::path path = "/proc/self/fd/" + std::to_string(fd);
            int worked = 0;
            ~Side() { ::close(fd); }
        };
        Side sides[] = {
            {"root's", "the other user's output planted in root's directory", 0,
             row.restores ? kStream : kData, row.restores ? kData : kStream,
             ::open((shared.scratch / "private").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)},
            {"the other user's", "root's output, with root's data, in the other user's directory",
             kOtherUser, row.restores ? othersStream : others, row.restores ? others : othersStream,
             ::open((shared.path / "real").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)},
        };
        const Swapper swapper(shared.path, "real", "link");
        int runs = 0;
        int losses = 0;
        int firstLoss = 0;
        std::map<std::string, int> lost;  // how often each thing went wrong
        const auto met = [&] { return sides[0].worked >= kEach && sides[1].worked >= kEach; };
        for (; runs < kRuns || (!met() && runs < kRuns * kRunsAtMost); ++runs) {
            for (const Side& side : sides) {
                for (const std::string& name : listDirectory(side.path)) {
                    fs::remove(side.path / name);
                }
                writeBytes(side.path / row.source, side.source);
                ASSERT_EQ(::chown((side.path / row.source).c_str(), side.owner, side.owner), 0);
                fs::permissions(side.path / row.source, fs::perms(0644));
            }
            std::string errors;
            runLzc(shared.scratch.path(), row.arguments, errors);
            std::vector<std::string> wrong;
            for (Side& side : sides) {
                const std::vector<std::string> names = listDirectory(side.path);
                const auto has = [&](const char* name) {
                    return std::find(names.begin(), names.end(), name) != names.end();
                };
                const bool made = has(row.output);
                const bool kept = has(row.source);
                side.worked += made;
                if (names.size() != static_cast<std::size_t>(made) + kept) {
                    wrong.push_back(std::string(side.who) + " directory holds a file of neither");
                }
                if (made && (readBytes(side.path / row.output) != side.output ||
                             entryOf(side.path / row.output).st_uid != side.owner)) {
                    wrong.push_back(side.foreign);
                }
                if (kept && readBytes(side.path / row.source) != side.source) {
                    wrong.push_back(std::string(side.who) + " source changed");
                }
                if (!kept && !(row.removes && made)) {
                    wrong.push_back(std::string(side.who) + " source removed, its output not made");
                }
            }
            for (const std::string& what : wrong) {
                ++lost[what];
            }
            if (!wrong.empty()) {
                firstLoss = losses++ == 0 ? runs + 1 : firstLoss;
            }
        }
        std::string kinds;
        for (const auto& [what, count] : lost) {
            kinds +=
                "\n  " + what + ": in " + std::to_string(count) + (count == 1 ? " run" : " runs");
        }
        EXPECT_EQ(losses, 0) << "lost " << losses << " of " << runs << " runs, first in run "
                             << firstLoss << kinds;
        EXPECT_TRUE(met()) << "the race never happened: in " << runs
                           << " runs, root's directory was "
                           << "worked in " << sides[0].worked << " times, the other user's "
                           << sides[1].worked;
    }
}

}  // namespace
}  // namespace lzc::test
