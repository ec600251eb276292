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

#include <chrono>
#include <cstdlib>
#include <string>

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

constexpr const char* kAsOtherUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

// Runs lzc with `arguments` in `directory`, as root or, after kAsOtherUser, as the other user,
// and ends it after ten seconds (a run that blocks, on a FIFO say, then reports 137). Its
// messages go to `errors`.
int runLzc(const fs::path& directory, const std::string& arguments, std::string& errors,
           const char* as = "") {
    const char* binary = std::getenv("LZC_UNDER_TEST");
    static const ScratchDir logs;  // root's own, not the shared directory's
    const fs::path log = logs / "errors";
    const int status = shell("cd '" + directory.string() + "' && timeout -s KILL 10 " + as +
                             (binary != nullptr ? binary : LZC_BINARY) + " " + arguments +
                             " </dev/null >/dev/null 2>'" + log.string() + "'");
    const Bytes text = readBytes(log);
    errors.assign(text.begin(), text.end());
    return status;
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

TEST(HostileDirectory, WhatTheOtherUserPutsAtANameNeverMakesRootWriteThroughIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to act as a second user";
    }
    enum Expect { absent, untouched, rootsFile, othersFile };
    struct Row {
        const char* prepare;  // the other user's shell script
        const char* arguments;
        int status;
        const char* errors;
        const char* output;  // the name written or left alone
        Expect expect;
    };
    const std::string ownStream = std::string("printf \"") + kStreamAsPrintf +
                                  "\" > x.lzc && chmod 644 x.lzc && ln -s ../secret x";
    constexpr const char* kExists = "lzc: data.lzc: already exists (use -f to overwrite)\n";
    const Row rows[] = {
        {"ln -s ../secret data.lzc", "data", 2, kExists, "data.lzc", untouched},
        {"ln -s ../secret data.lzc", "-f data", 0, "", "data.lzc", rootsFile},
        {ownStream.c_str(), "-df x.lzc", 0, "", "x", othersFile},
        {"mkfifo data.lzc", "data", 2, kExists, "data.lzc", untouched},
        {"mkfifo data.lzc", "-f data", 0, "", "data.lzc", rootsFile},
        {"ln -s /dev/zero data.lzc", "data", 2, kExists, "data.lzc", untouched},
        {"ln -s /dev/zero data.lzc", "-f data", 0, "", "data.lzc", rootsFile},
        {"echo mine > mine && ln mine data.lzc", "-f data", 0, "", "data.lzc", rootsFile},
        {"mkdir data.lzc", "-f data", 1, "lzc: data.lzc: is a directory\n", "data.lzc", untouched},
        {"ln -s ../secret weekly.log", "weekly.log", 1, "lzc: weekly.log: is a symbolic link\n",
         "weekly.log.lzc", absent},
    };
    for (const bool sticky : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.prepare) + " | lzc " + row.arguments +
                         (sticky ? ", sticky" : ", group-writable"));
            const SharedDirectory shared(sticky);
            writeBytes(shared.path / "data", kData);
            fs::permissions(shared.path / "data", fs::perms(0600));
            asOtherUser(shared.path, row.prepare);
            const fs::path output = shared.path / row.output;
            struct stat before {};
            if (row.expect != absent) {
                before = entryOf(output);
            }

            std::string errors;
            EXPECT_EQ(runLzc(shared.path, row.arguments, errors), row.status);
            EXPECT_EQ(errors, row.errors);
            EXPECT_EQ(readBytes(shared.secret), kData);
            EXPECT_EQ(entryOf(shared.secret).st_mode & 07777, 0600U);
            if (fs::exists(shared.path / "mine")) {
                EXPECT_EQ(readBytes(shared.path / "mine"), bytesOf("mine\n"));
            }
            if (row.expect == absent) {
                EXPECT_FALSE(fs::exists(fs::symlink_status(output)));
                continue;
            }
            const struct stat after = entryOf(output);
            if (row.expect == untouched) {
                EXPECT_EQ(after.st_ino, before.st_ino);
                EXPECT_EQ(after.st_mode, before.st_mode);
                continue;
            }
            const bool roots = row.expect == rootsFile;
            if (!S_ISREG(after.st_mode)) {
                ADD_FAILURE() << "not replaced by a regular file";
                continue;
            }
            EXPECT_EQ(readBytes(output), roots ? kStream : kData);
            EXPECT_EQ(after.st_uid, roots ? 0U : kOtherUser);
            EXPECT_EQ(after.st_mode & 0777, roots ? 0600U : 0644U);
        }
    }
}

// A tree with a link out of it, a link back up it, a directory only root can read, names with
// and without .lzc and one with a line break: -r stays inside and goes on past what it cannot
// read.
TEST(HostileDirectory, ARecursiveRunStaysInTheTreeAndGoesOnPastWhatItCannotRead) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to act as a second user";
    }
    ScratchDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    const fs::path tree = scratch / "tree";
    fs::create_directories(tree / "sub");
    fs::create_directories(tree / "closed");
    fs::create_directories(scratch / "outside");
    writeBytes(tree / "a.txt", kData);
    writeBytes(tree / "done.txt.lzc", kStream);
    writeBytes(tree / "sub" / "new\nline", kData);
    writeBytes(tree / "closed" / "x.txt", kData);
    writeBytes(scratch / "outside" / "o.txt", kData);
    fs::create_directory_symlink("../outside", tree / "out");
    fs::create_directory_symlink("..", tree / "sub" / "loop");
    for (const fs::path& entry : fs::recursive_directory_iterator(tree)) {
        ASSERT_EQ(::lchown(entry.c_str(), kOtherUser, kOtherUser), 0);
    }
    ASSERT_EQ(::chown(tree.c_str(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(::chown((tree / "closed").c_str(), 0, 0), 0);
    fs::permissions(tree / "closed", fs::perms(0700));
    constexpr const char* kLinks =
        "lzc: tree/out: is a symbolic link -- skipped\n"
        "lzc: tree/sub/loop: is a symbolic link -- skipped\n";
    struct Walk {
        const char* as;
        const char* arguments;
        int status;
        std::string errors;
        std::vector<const char*> made;  // in the tree, holding kStream or kData by their suffix
    };
    const Walk walks[] = {
        {kAsOtherUser,
         "-r tree",
         1,
         std::string("lzc: tree/closed: Permission denied\n"
                     "lzc: tree/done.txt.lzc: already ends in .lzc -- skipped\n") +
             kLinks,
         {"a.txt.lzc", "sub/new\nline.lzc"}},
        {"",
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
        EXPECT_EQ(runLzc(scratch.path(), row.arguments, errors, row.as), row.status);
        EXPECT_EQ(errors, row.errors);
        for (const char* made : row.made) {
            EXPECT_EQ(readBytes(tree / made),
                      std::string_view(made).ends_with(".lzc") ? kStream : kData)
                << made;
        }
        EXPECT_EQ(listDirectory(scratch / "outside"), std::vector<std::string>{"o.txt"});
        EXPECT_EQ(listDirectory(tree / "closed"), std::vector<std::string>{"x.txt"});
    }
    EXPECT_EQ(listDirectory(tree),
              (std::vector<std::string>{"a.txt", "a.txt.lzc", "closed", "done.txt", "out", "sub"}));
}

// The other user swaps a file of theirs with a link to root's private file while root
// compresses it, with -f (links followed) and without. Whatever root read, its output must say
// so: the private bytes only ever land in a file that is root's and private.
TEST(HostileDirectory, ASourceSwappedWhileItIsReadNeverLeaksRootsFile) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to act as a second user";
    }
    const SharedDirectory shared(false);  // not sticky, where the kernel would refuse links
    asOtherUser(shared.path,
                "echo report > report.txt && chmod 644 report.txt && "
                "ln -s ../secret swap");
    const pid_t swapper = ::fork();
    ASSERT_GE(swapper, 0);
    if (swapper == 0) {
        if (::setgroups(0, nullptr) == 0 && ::setresgid(kOtherUser, kOtherUser, kOtherUser) == 0 &&
            ::setresuid(kOtherUser, kOtherUser, kOtherUser) == 0 &&
            ::chdir(shared.path.c_str()) == 0) {
            for (;;) {
                ::renameat2(AT_FDCWD, "report.txt", AT_FDCWD, "swap", RENAME_EXCHANGE);
            }
        }
        ::_exit(1);
    }
    int leaks = 0;
    int runs = 0;
    int secretsRead = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (; std::chrono::steady_clock::now() < end && runs < 2000; ++runs) {
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
    ::kill(swapper, SIGKILL);
    ::waitpid(swapper, nullptr, 0);
    EXPECT_EQ(leaks, 0) << "in " << runs << " runs, " << secretsRead << " of them read the secret";
    EXPECT_GT(runs, 10);
}

}  // namespace
}  // namespace lzc::test
