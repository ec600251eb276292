// lzc at the system's limits: signals repeated while it cleans up, and processes, file sizes,
// memory and descriptors limited by setrlimit. Nothing but a signal ends a batch, and nothing
// half-written is left.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "file_io_seam.h"
#include "lzc/tree_walk.h"
#include "lzc_cli/file_jobs.h"
#include "test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

// Below the directory `fd` (closed here), at any depth: counts the outputs (*.lzc) and the hidden
// files, and removes the outputs, or everything when `all`.
struct Swept {
    int outputs = 0;
    int hidden = 0;
};
Swept sweep(int fd, bool all = false) {
    Swept swept;
    DIR* listing = ::fdopendir(fd);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const bool directory = entry->d_type == DT_DIR;
        if (directory) {
            const Swept below = sweep(::openat(fd, entry->d_name, O_RDONLY | O_DIRECTORY), all);
            swept.outputs += below.outputs;
            swept.hidden += below.hidden;
        } else {
            swept.outputs += name.ends_with(".lzc");
            swept.hidden += name.starts_with('.');
        }
        if (all || (!directory && name.ends_with(".lzc"))) {
            ::unlinkat(fd, entry->d_name, directory ? AT_REMOVEDIR : 0);
        }
    }
    ::closedir(listing);
    return swept;
}
Swept sweep(const fs::path& directory, bool all = false) {
    return sweep(::open(directory.c_str(), O_RDONLY | O_DIRECTORY), all);
}

// Makes a chain of `depth` directories with 255-byte names below `root`, with a small file
// every `every` levels; returns the number of files.
int makeDeepTree(const fs::path& root, int depth, int every) {
    fs::create_directory(root);
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    int files = 0;
    for (int level = 1; level <= depth; ++level) {
        const std::string name = std::to_string(level) + std::string(250, 'd');
        EXPECT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int inner = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = inner;
        if (level % every == 0) {
            const int file = ::openat(fd, "f", O_WRONLY | O_CREAT, 0644);
            EXPECT_EQ(::write(file, "ABCDABCDABCDABCDX", 17), 17);
            ::close(file);
            ++files;
        }
    }
    ::close(fd);
    return files;
}

// A second signal, taken by another thread while the first one's cleanup runs (the cleanup
// waits until it has been taken): the process still ends by the first signal, and only once
// every hidden file is gone. The first comes while a file of -r -T 4 is written.
TEST(Signals, ASignalRepeatedDuringTheCleanupEndsTheProcessOnlyAfterIt) {
    static int first;
    static int second;
    fileio::seam::temporaryWritten = [](int) {
        static std::atomic<bool> raised{false};
        if (!raised.exchange(true)) {
            flushCoverage();  // the child ends by the signal
            ::raise(first);
        }
    };
    fileio::seam::cleanupBegun = [](int) {
        ::kill(::getpid(), second);
        sigset_t pending;
        do {
            ::sigpending(&pending);
        } while (sigismember(&pending, second));
    };
    const std::pair<int, int> rows[] = {{SIGINT, SIGINT},
                                        {SIGTERM, SIGTERM},
                                        {SIGHUP, SIGINT},
                                        {SIGPIPE, SIGTERM},
                                        {SIGXCPU, SIGXCPU}};
    for (const auto& [firstSignal, secondSignal] : rows) {
        SCOPED_TRACE(std::to_string(firstSignal) + " then " + std::to_string(secondSignal));
        first = firstSignal;
        second = secondSignal;
        ScratchDir dir;
        fs::create_directory(dir / "d");
        for (std::uint32_t at = 0; at < 16; ++at) {
            writeBytes(dir / ("d/f" + std::to_string(at)), textLike(20000, at));
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore{0, 0};  // SIGXCPU's usual end dumps core
            ::setrlimit(RLIMIT_CORE, &noCore);
            cli::Settings settings;
            settings.inputs = {(dir / "d").string()};
            settings.recursive = true;
            settings.threads = 4;
            cli::runInputs(settings, {});
            flushCoverage();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == firstSignal) << status;
        EXPECT_EQ(sweep(dir / "d").hidden, 0);
    }
    fileio::seam::temporaryWritten = nullptr;
    fileio::seam::cleanupBegun = nullptr;
}

// lzc run in a child process under each limit: it does every file it can, reports the others and
// leaves no hidden file. The trees: `flat`, twenty small files and one whose output is 30 KB;
// `deep`, a chain of 1000 directories with 255-byte names (a path of 250 KB), a file in every
// hundredth.
TEST(Limits, NoLimitEndsABatchOrLeavesAHiddenFile) {
    constexpr uid_t kOtherUser = 65534;
    struct Row {
        const char* what;
        int resource;
        rlim_t limit;
        const char* arguments;
        int status;  // 128 + the signal when a signal ended it
        const char* errors;
        int outputs;
    };
    const Row rows[] = {
        // As the other user, since the process limit does not bind root: no thread starts.
        {"threads", RLIMIT_NPROC, 1, "-r -T 8 flat", 0, "", 21},
        {"file size", RLIMIT_FSIZE, 4096, "-r -T 4 flat", 1, "lzc: flat/big.lzc: File too large\n",
         20},
        // A walk that kept whole paths would need 130 MB here.
        {"memory", RLIMIT_AS, 64 << 20, "-r deep", 0, "", 10},
        {"descriptors", RLIMIT_NOFILE, 64, "-r deep", 0, "", 10},
    };
    ScratchDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    fs::create_directory(scratch / "flat");
    for (std::uint32_t at = 0; at < 20; ++at) {
        writeBytes(scratch / ("flat/f" + std::to_string(at)), textLike(100, at));
    }
    writeBytes(scratch / "flat/big", randomBytes(30000, 1));
    ASSERT_EQ(makeDeepTree(scratch / "deep", 1000, 100), 10);
    ASSERT_EQ(std::system(("chown -R 65534:65534 '" + (scratch / "flat").string() + "'").c_str()),
              0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
#if defined(UNDER_ADDRESS_SANITIZER)  // its shadow memory needs more address space
        if (row.resource == RLIMIT_AS) {
            continue;
        }
#endif
        if (row.resource == RLIMIT_NPROC && ::geteuid() != 0) {
            continue;  // needs root, to act as a second user
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int errors = ::open((scratch / "errors").c_str(),
                                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            const rlimit limit{row.limit, row.limit};
            std::istringstream words(row.arguments);
            std::vector<std::string> arguments{"lzc"};
            for (std::string word; words >> word;) {
                arguments.push_back(word);
            }
            std::vector<char*> argv;
            for (std::string& argument : arguments) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            if (row.resource == RLIMIT_NPROC) {  // LeakSanitizer's check at exit needs a thread
                const char* options = std::getenv("ASAN_OPTIONS");
                ::setenv(
                    "ASAN_OPTIONS",
                    (std::string(options != nullptr ? options : "") + ":detect_leaks=0").c_str(),
                    1);
            }
            if (::chdir(scratch.path().c_str()) == 0 && ::dup2(errors, 2) == 2 &&
                (row.resource != RLIMIT_NPROC ||
                 (::setgroups(0, nullptr) == 0 && ::setgid(kOtherUser) == 0 &&
                  ::setuid(kOtherUser) == 0)) &&
                ::setrlimit(row.resource, &limit) == 0) {
                ::execv(LZC_BINARY, argv.data());
            }
            ::_exit(127);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), row.status);
        const Bytes errors = readBytes(scratch / "errors");
        EXPECT_EQ(std::string(errors.begin(), errors.end()), row.errors);
        const Swept swept = sweep(scratch.path());
        EXPECT_EQ(swept.outputs, row.outputs);
        EXPECT_EQ(swept.hidden, 0);
    }
    sweep(scratch.path(), true);  // deeper than the remove_all of ScratchDir goes
}

// A walk deeper than the directories it keeps open goes back up through "..", and only to the
// directory it left: here a level is moved elsewhere while the walk is below it, so that its ".."
// is another directory, which holds a name like one still to be walked. The walk stops there.
TEST(Limits, AWalkBackUpAMovedDirectoryStopsRatherThanWalkAnother) {
    ScratchDir dir;
    makeDeepTree(dir / "deep", 40, 40);
    fs::path moved = dir / "deep";
    for (int level = 1; level <= 10; ++level) {
        moved /= std::to_string(level) + std::string(250, 'd');
    }
    fs::create_directory(moved.parent_path() / "zz");  // walked after the tenth level
    fs::create_directory(dir / "elsewhere");
    writeBytes(dir / "elsewhere/zz", bytesOf("not in the tree"));
    std::vector<std::pair<fileio::WalkEntry::Kind, std::string>> met;
    fileio::walkTree((dir / "deep").string(), fileio::Links::refuse,
                     [&](fileio::WalkEntry&& entry) {
                         if (met.empty()) {  // the file in the fortieth level
                             fs::rename(moved, dir / "elsewhere/x");
                         }
                         met.emplace_back(entry.kind, fs::path(entry.path).filename().string());
                     });
    EXPECT_EQ(met, (std::vector<std::pair<fileio::WalkEntry::Kind, std::string>>{
                       {fileio::WalkEntry::Kind::file, "f"},
                       {fileio::WalkEntry::Kind::moved, moved.filename().string()}}));
    sweep(dir.path(), true);
}

}  // namespace
}  // namespace lzc::test
