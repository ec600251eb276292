// lzc run by root in a directory that a second, unprivileged user can write: whatever that
// user puts at the names lzc reads and writes (links, FIFOs, devices, hard links, directories,
// files swapped while lzc runs), root's files stay root's and nothing is written through a name.
// The lzc binary under test is LZC_BINARY, or the one named by LZC_UNDER_TEST.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

extern char** environ;

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;  // nobody, in group nogroup
const Bytes kData = bytesOf("ABCDABCDABCDABCDX");
const Bytes kStream = {0x80, 0x04, 'A',  'B',  'C',  'D',  'A',
                       0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 'X'};
const Bytes kSecret = bytesOf("root's secret");

struct Ran {
    int status;
    std::string errors;
};

// Runs lzc with `arguments` in `directory`, as root or as the other user; its standard input is
// /dev/null.
Ran runLzc(const fs::path& directory, const std::vector<std::string>& arguments,
           bool asOtherUser = false) {
    const char* binary = std::getenv("LZC_UNDER_TEST");
    std::vector<std::string> words;
    if (asOtherUser) {
        words = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    words.emplace_back(binary != nullptr ? binary : LZC_BINARY);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const fs::path errors = directory.parent_path() / "errors";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t child = -1;
    EXPECT_EQ(::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // A run that blocks (on a FIFO, say) is ended after ten seconds and counts as killed.
    int status = 0;
    for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0; ++waited) {
        if (waited == 10000) {
            ::kill(child, SIGKILL);
        }
        ::usleep(1000);
    }
    const Bytes text = readBytes(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            std::string(text.begin(), text.end())};
}

// Makes this process the other user, working in `directory`.
bool becomeOtherUser(const fs::path& directory) {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(kOtherUser, kOtherUser, kOtherUser) == 0 &&
           ::setresuid(kOtherUser, kOtherUser, kOtherUser) == 0 && ::chdir(directory.c_str()) == 0;
}

// Runs `prepare` in a child process that has become the other user.
void asOtherUser(const fs::path& directory, const std::function<void()>& prepare) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool became = becomeOtherUser(directory);
        if (became) {
            prepare();
        }
        flushCoverage();
        ::_exit(became ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

struct stat entryOf(const fs::path& name) {
    struct stat info {};
    EXPECT_EQ(::lstat(name.c_str(), &info), 0) << name;
    return info;
}

// One setup of the other user's, what root then runs, and what must come of it.
struct Row {
    const char* name;
    std::function<void()> prepare;  // runs as the other user in the shared directory
    std::vector<std::string> arguments;
    int status;
    const char* errors;  // exactly, "" for none
    const char* output;  // the name written or left alone
    enum { absent, untouched, rootsFile, othersFile } expect;
};

void symlinkTo(const char* target, const char* name) {
    ::symlink(target, name);
}

// Root's private file lies beside the shared directory, out of the other user's reach.
TEST(HostileDirectory, WhatTheOtherUserPutsAtANameNeverMakesRootWriteThroughIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to act as a second user";
    }
    ScratchDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    const auto writeAs = [](const char* name, const Bytes& bytes) {
        return [=] {
            writeBytes(name, bytes);
            ::chmod(name, 0644);
        };
    };
    const std::vector<Row> rows = {
        {"link at the output",
         [] { symlinkTo("../secret", "data.lzc"); },
         {"data"},
         2,
         "lzc: data.lzc: already exists (use -f to overwrite)\n",
         "data.lzc",
         Row::untouched},
        {"link at the output, -f",
         [] { symlinkTo("../secret", "data.lzc"); },
         {"-f", "data"},
         0,
         "",
         "data.lzc",
         Row::rootsFile},
        {"link at the restored name, -df",
         [&] {
             writeAs("x.lzc", kStream)();
             symlinkTo("../secret", "x");
         },
         {"-df", "x.lzc"},
         0,
         "",
         "x",
         Row::othersFile},
        {"FIFO at the output",
         [] { ::mkfifo("data.lzc", 0666); },
         {"data"},
         2,
         "lzc: data.lzc: already exists (use -f to overwrite)\n",
         "data.lzc",
         Row::untouched},
        {"FIFO at the output, -f",
         [] { ::mkfifo("data.lzc", 0666); },
         {"-f", "data"},
         0,
         "",
         "data.lzc",
         Row::rootsFile},
        {"link to a device at the output",
         [] { symlinkTo("/dev/zero", "data.lzc"); },
         {"data"},
         2,
         "lzc: data.lzc: already exists (use -f to overwrite)\n",
         "data.lzc",
         Row::untouched},
        {"link to a device, -f",
         [] { symlinkTo("/dev/zero", "data.lzc"); },
         {"-f", "data"},
         0,
         "",
         "data.lzc",
         Row::rootsFile},
        {"hard link at the output, -f",
         [&] {
             writeAs("mine", kSecret)();
             ::link("mine", "data.lzc");
         },
         {"-f", "data"},
         0,
         "",
         "data.lzc",
         Row::rootsFile},
        {"directory at the output, -f",
         [] { ::mkdir("data.lzc", 0777); },
         {"-f", "data"},
         1,
         "lzc: data.lzc: is a directory\n",
         "data.lzc",
         Row::untouched},
        {"linked source",
         [] { symlinkTo("../secret", "weekly.log"); },
         {"weekly.log"},
         1,
         "lzc: weekly.log: is a symbolic link\n",
         "weekly.log.lzc",
         Row::absent},
    };
    for (const bool sticky : {true, false}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (sticky ? ", sticky" : ", group-writable"));
            const fs::path shared = scratch / "shared";
            fs::remove_all(shared);
            fs::create_directory(shared);
            ASSERT_EQ(::chown(shared.c_str(), 0, kOtherUser), 0);
            ASSERT_EQ(::chmod(shared.c_str(), sticky ? 01777 : 02770), 0);
            writeBytes(shared / "data", kData);
            fs::permissions(shared / "data", fs::perms(0600));
            writeBytes(scratch / "secret", kSecret);
            fs::permissions(scratch / "secret", fs::perms(0600));
            asOtherUser(shared, row.prepare);
            struct stat before {};
            if (row.expect != Row::absent) {
                before = entryOf(shared / row.output);
            }

            const Ran ran = runLzc(shared, row.arguments);
            EXPECT_EQ(ran.status, row.status);
            EXPECT_EQ(ran.errors, row.errors);
            EXPECT_EQ(readBytes(scratch / "secret"), kSecret);
            EXPECT_EQ(entryOf(scratch / "secret").st_mode & 07777, 0600U);
            if (row.expect == Row::absent) {
                EXPECT_FALSE(fs::exists(shared / row.output));
                continue;
            }
            const struct stat after = entryOf(shared / row.output);
            if (row.expect == Row::untouched) {
                EXPECT_EQ(after.st_ino, before.st_ino);
                EXPECT_EQ(after.st_mode, before.st_mode);
                continue;
            }
            if (!S_ISREG(after.st_mode)) {
                ADD_FAILURE() << "not replaced by a regular file";
                continue;
            }
            const bool roots = row.expect == Row::rootsFile;
            EXPECT_EQ(readBytes(shared / row.output), roots ? kStream : kData);
            EXPECT_EQ(after.st_uid, roots ? 0U : kOtherUser);
            EXPECT_EQ(after.st_mode & 0777, roots ? 0600U : 0644U);
            if (fs::exists(shared / "mine")) {
                EXPECT_EQ(readBytes(shared / "mine"), kSecret);  // the hard link's other name
            }
        }
    }
}

// lzc -r, run by the other user and then by root, over a tree that holds a link to a directory
// outside it, a link back up the tree, a directory the other user cannot read, files with and
// without .lzc and a name with a newline: no link is followed, the unreadable directory is
// reported and the walk goes on.
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
        bool asOtherUser;
        std::vector<std::string> arguments;
        int status;
        std::string errors;
        std::vector<const char*> made;  // in the tree, holding kStream or kData by their suffix
    };
    const Walk walks[] = {
        {true,
         {"-r", "tree"},
         1,
         std::string("lzc: tree/closed: Permission denied\n"
                     "lzc: tree/done.txt.lzc: already ends in .lzc -- skipped\n") +
             kLinks,
         {"a.txt.lzc", "sub/new\nline.lzc"}},
        {false,
         {"-dr", "--rm", "tree"},
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
        SCOPED_TRACE(row.arguments.front());
        const Ran ran = runLzc(scratch.path(), row.arguments, row.asOtherUser);
        EXPECT_EQ(ran.status, row.status);
        EXPECT_EQ(ran.errors, row.errors);
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
    ScratchDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    writeBytes(scratch / "secret", kData);
    fs::permissions(scratch / "secret", fs::perms(0600));
    const fs::path shared = scratch / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), 0, kOtherUser), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02770), 0);  // not sticky: the kernel would refuse links
    asOtherUser(shared, [] {
        writeBytes("report.txt", bytesOf("weekly report"));
        ::chmod("report.txt", 0644);
        ::symlink("../secret", "swap");
    });
    const pid_t swapper = ::fork();
    ASSERT_GE(swapper, 0);
    if (swapper == 0) {
        if (becomeOtherUser(shared)) {
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
        fs::remove(shared / "report.txt.lzc");
        if (runLzc(shared, {force ? "-f" : "-q", "report.txt"}).status != 0) {
            continue;
        }
        const struct stat output = entryOf(shared / "report.txt.lzc");
        if (readBytes(shared / "report.txt.lzc") == kStream) {
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
