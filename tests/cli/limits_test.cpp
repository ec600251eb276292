// lzc at the system's limits: processes, file sizes, memory and descriptors limited by
// setrlimit, and trees deeper than the directories it keeps open. Nothing but a signal ends a
// batch, and nothing half-written is left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lzc/tree_walk.h"
#include "test_support.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

// How many files below `directory`, at any depth, have names that match `pattern`, removed when
// `remove`; find goes deeper than a path can name, and so does rm -rf, which removes a deep tree.
int found(const fs::path& directory, const std::string& pattern, bool remove = false) {
    std::FILE* listing = ::popen(("find '" + directory.string() + "' -type f -name '" + pattern +
                                  "'" + (remove ? " -delete -print" : "") + " | wc -l")
                                     .c_str(),
                                 "r");
    int count = -1;
    EXPECT_EQ(std::fscanf(listing, "%d", &count), 1);
    ::pclose(listing);
    return count;
}
void removeDeepTree(const fs::path& directory) {
    EXPECT_EQ(std::system(("rm -rf '" + directory.string() + "'").c_str()), 0);
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

// lzc run under each limit (prlimit(1) sets it in the child before lzc starts): it does every
// file it can, reports the others and leaves no hidden file. The trees: `flat`, twenty small
// files and one whose output is 30 KB; `deep`, a chain of 1000 directories with 255-byte names
// (a path of 250 KB), a file in every hundredth.
TEST(Limits, NoLimitEndsABatchOrLeavesAHiddenFile) {
    struct Row {
        const char* limit;
        const char* arguments;
        int status;  // 128 + the signal when a signal ended it
        const char* errors;
        int outputs;
    };
    const Row rows[] = {
        // As the other user, since the process limit does not bind root: no thread starts.
        {"--nproc=1", "-r -T 8 flat", 0, "", 21},
        {"--fsize=4096", "-r -T 4 flat", 1, "lzc: flat/big.lzc: File too large\n", 20},
        {"--fsize=4096", "-c flat/big >big.out", 1, "lzc: stdout: File too large\n", 0},
        {"--as=67108864", "-r deep", 0, "", 10},  // a walk keeping whole paths needs 130 MB
        {"--nofile=64", "-r deep", 0, "", 10},
    };
    ScratchDir scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    fs::create_directory(scratch / "flat");
    for (std::uint32_t at = 0; at < 20; ++at) {
        writeBytes(scratch / ("flat/f" + std::to_string(at)), textLike(100, at));
    }
    writeBytes(scratch / "flat/big", randomBytes(30000, 1));
    ASSERT_EQ(makeDeepTree(scratch / "deep", 1000, 100), 10);
    const std::string cd = "cd '" + scratch.path().string() + "' && ";
    ASSERT_EQ(std::system((cd + "chown -R 65534:65534 flat").c_str()), 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.limit);
        const bool asOtherUser = std::string_view(row.limit) == "--nproc=1";
        if (asOtherUser && ::geteuid() != 0) {
            continue;
        }
#if defined(UNDER_ADDRESS_SANITIZER)
        if (std::string_view(row.limit).starts_with("--as")) {
            continue;
        }
#endif
        // LeakSanitizer's check at exit needs a thread of its own.
        const int status = std::system(
            (cd + "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 " +
             (asOtherUser ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "") +
             "prlimit " + row.limit + " " + LZC_BINARY + " " + row.arguments + " 2>errors")
                .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), row.status);
        const Bytes bytes = readBytes(scratch / "errors");
        std::string errors(bytes.begin(), bytes.end());
        // A coverage build's counters cannot be written past the file-size limit either.
        for (std::size_t at; (at = errors.find("libgcov")) != std::string::npos;) {
            errors.erase(at, errors.find('\n', at) + 1 - at);
        }
        EXPECT_EQ(errors, row.errors);
        EXPECT_EQ(found(scratch.path(), ".*"), 0);
        EXPECT_EQ(found(scratch.path(), "*.lzc", true), row.outputs);
    }
    removeDeepTree(scratch.path());
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
    removeDeepTree(dir.path());
}

}  // namespace
}  // namespace lzc::test
