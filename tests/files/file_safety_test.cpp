// The file layer's promises under failure: private temporaries, signals, bounded input,
// filesystems without hard links, metadata that cannot be kept, and what stands at the
// destination.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

#include "file_io_seam.h"
#include "lzc/file_io.h"
#include "lzc/file_operation.h"
#include "test_support.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;
using fileio::seam::systemCalls;

const Bytes kData = bytesOf("ABCDABCDABCDABCDX");
const Bytes kStream = {0x80, 0x04, 'A',  'B',  'C',  'D',  'A',
                       0x00, 0x01, 0x00, 0x0C, 0x80, 0x01, 'X'};

// Puts the real system calls and no hook back after each test.
struct FileLayer : ::testing::Test {
    ~FileLayer() override {
        fileio::seam::restoreSystemCalls();
        fileio::seam::temporaryWritten = nullptr;
        fileio::seam::sourceRead = nullptr;
        fileio::seam::cleanupBegun = nullptr;
    }
    ScratchDir dir;
};

mode_t observedMode = 0;

TEST_F(FileLayer, TheTemporaryIsPrivateWhileItHoldsTheBytes) {
    fileio::seam::temporaryWritten = [](int fd) {
        struct stat info {};
        ::fstat(fd, &info);
        observedMode = info.st_mode & 0777;
    };
    const mode_t previous = ::umask(0);
    const fileio::WriteResult written = fileio::writeFileAtomically(dir / "out", bytesOf("secret"));
    ::umask(previous);
    EXPECT_EQ(written.error, 0);
    EXPECT_EQ(observedMode, 0600U);
    // The umask of 0 applies at the end.
    EXPECT_EQ(static_cast<mode_t>(fs::status(dir / "out").permissions()), 0666U);
}

// Two files are being written when the signal comes (the first is written again while the
// second is pending, as another thread would), and it comes again while they are removed, taken by
// another thread (the removal waits until it is): both temporaries go before the process ends, by
// the first signal.
TEST_F(FileLayer, ASignalWhileWritingRemovesTheTemporariesAndEndsTheProcess) {
    static int raised;
    static int again;
    static fs::path other;
    other = dir / "other";
    fileio::seam::temporaryWritten = [](int) {
        static bool second = false;  // in each child, which the hook runs in
        if (!std::exchange(second, true)) {
            fileio::writeFileAtomically(other, bytesOf("second"));
            return;
        }
        flushCoverage();  // the child ends by the signal
        ::raise(raised);
    };
    fileio::seam::cleanupBegun = [](int) {
        ::kill(::getpid(), again);
        sigset_t pending;
        do {
            ::sigpending(&pending);
        } while (sigismember(&pending, again));
    };
    const std::pair<int, int> rows[] = {{SIGTERM, SIGTERM},
                                        {SIGINT, SIGINT},
                                        {SIGHUP, SIGINT},
                                        {SIGPIPE, SIGTERM},
                                        {SIGXCPU, SIGXCPU}};
    for (const auto& [signalNumber, repeated] : rows) {
        raised = signalNumber;
        again = repeated;
        writeBytes(dir / "out", bytesOf("earlier"));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore{0, 0};  // the usual end of SIGXCPU dumps core
            ::setrlimit(RLIMIT_CORE, &noCore);
            std::thread([] {
                for (;;) {
                    ::pause();
                }
            }).detach();
            fileio::WriteOptions replacing;
            replacing.replace = fileio::Replace::always;
            fileio::writeFileAtomically(dir / "out", bytesOf("new"), replacing);
            flushCoverage();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
        EXPECT_EQ(listDirectory(dir.path()), std::vector<std::string>{"out"}) << signalNumber;
        EXPECT_EQ(readBytes(dir / "out"), bytesOf("earlier"));
    }
}

TEST_F(FileLayer, AHugeInputIsRefusedUnderAMemoryLimitAndTheNextFileStillWorks) {
    writeBytes(dir / "good.lzc", Bytes{0x80, 0x02, 'h', 'i'});
    writeBytes(dir / "huge.lzc", Bytes{});
    ASSERT_EQ(::truncate((dir / "huge.lzc").c_str(), std::int64_t{2} << 30), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
#if !defined(UNDER_ADDRESS_SANITIZER)  // its shadow memory needs more address space
        const rlimit limit{256 << 20, 256 << 20};
        ::setrlimit(RLIMIT_AS, &limit);
#endif
        const OperationStatus huge =
            decompressFile(Endpoint::file(dir / "huge.lzc"), Endpoint::file(dir / "huge"), {})
                .status;
        const OperationStatus good =
            decompressFile(Endpoint::file(dir / "good.lzc"), Endpoint::file(dir / "good"), {})
                .status;
        flushCoverage();
        ::_exit(huge == FileStatus::streamTooLong && good == Status::ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readBytes(dir / "good"), bytesOf("hi"));
    EXPECT_FALSE(fs::exists(dir / "huge"));
}

TEST_F(FileLayer, WithoutHardLinksANewFileIsPlacedAndAnExistingOneStillKept) {
    for (const int unsupported : {EPERM, ENOSYS, EINVAL, EOPNOTSUPP}) {
        static int error;
        error = unsupported;
        systemCalls().renameNoReplace = [](int, const char*, const char*) {
            return errno = error, -1;
        };
        systemCalls().link = systemCalls().renameNoReplace;
        const fileio::WriteOptions keep;
        const fs::path fresh = dir / ("fresh" + std::to_string(unsupported));
        EXPECT_EQ(fileio::writeFileAtomically(fresh, bytesOf("new"), keep).error, 0);
        EXPECT_EQ(readBytes(fresh), bytesOf("new"));
        EXPECT_EQ(fileio::writeFileAtomically(fresh, bytesOf("newer"), keep).error, EEXIST);
        EXPECT_EQ(readBytes(fresh), bytesOf("new"));
    }
    EXPECT_EQ(listDirectory(dir.path()).size(), 4U);
}

// A device or FIFO that the user named (lzc -o) is written in place only when it is root's or
// the user's own; a replaced regular file passes its mode on only when it is the user's own.
TEST_F(FileLayer, WhatStandsAtTheDestinationIsUsedOnlyWhenItsOwnerAllows) {
    const uid_t me = ::geteuid();
    const uid_t other = 65534;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    writeBytes(dir / "file", bytesOf("old"));
    struct Row {
        const char* name;  // in the scratch directory unless absolute
        uid_t owner;
        bool named;
        int error;
        mode_t mode;  // a regular file's once replaced, 0600 before; 0: not replaced
    };
    for (const Row row : {Row{"/dev/null", 0, true, 0, 0}, Row{"/dev/full", 0, true, ENOSPC, 0},
                          Row{"/dev/full", 0, false, EEXIST, 0}, Row{"fifo", me, true, ENXIO, 0},
                          Row{"fifo", other, true, EEXIST, 0}, Row{"file", me, false, 0, 0600},
                          Row{"file", other, false, 0, 0644}}) {
        SCOPED_TRACE(std::string(row.name) + " of " + std::to_string(row.owner));
        const fs::path name = dir / row.name;  // an absolute name stands for itself
        if (row.name[0] != '/') {
            if (row.owner != me && me != 0) {
                continue;  // only root can give a file away
            }
            ASSERT_EQ(::chown(name.c_str(), row.owner, static_cast<gid_t>(-1)), 0);
            ::chmod(name.c_str(), 0600);
        }
        fileio::WriteOptions options;
        options.namedByUser = row.named;
        options.replace = row.mode != 0 ? fileio::Replace::always : fileio::Replace::never;
        const mode_t mask = ::umask(022);
        EXPECT_EQ(fileio::writeFileAtomically(name, bytesOf("new"), options).error, row.error);
        ::umask(mask);
        if (row.mode != 0) {
            EXPECT_EQ(static_cast<mode_t>(fs::status(name).permissions()), row.mode);
        }
    }
}

TEST_F(FileLayer, MetadataThatCannotBeKeptIsAWarningButAFailedFlushIsAnError) {
    writeBytes(dir / "source", bytesOf("abc"));
    systemCalls().fchmod = [](int, mode_t) { return errno = EPERM, -1; };
    systemCalls().futimens = [](int, const struct timespec*) { return errno = EROFS, -1; };
    fileio::WriteOptions options;
    options.source = fileio::readFile(dir / "source", 3).facts;
    options.keepTimes = true;
    const fileio::WriteResult written =
        fileio::writeFileAtomically(dir / "out", bytesOf("x"), options);
    EXPECT_EQ(written.error, 0);
    ASSERT_EQ(written.warnings.size(), 2U);
    EXPECT_EQ(written.warnings[0].what, fileio::Metadata::permissions);
    EXPECT_EQ(written.warnings[0].error, EPERM);
    EXPECT_EQ(written.warnings[1].what, fileio::Metadata::times);
    EXPECT_EQ(readBytes(dir / "out"), bytesOf("x"));

    // A synchronous write flushes the new file, then its directory once the file is in place;
    // either failing is an error, and a file that failed its flush is never put in place.
    fileio::seam::restoreSystemCalls();
    static int flushes[2];  // files, directories
    static int failing;     // 0 none, 1 the file's flush, 2 the directory's
    systemCalls().fsync = [](int fd) {
        struct stat info {};
        ::fstat(fd, &info);
        const int kind = S_ISDIR(info.st_mode) ? 1 : 0;
        ++flushes[kind];
        return failing == kind + 1 ? (errno = EIO, -1) : 0;
    };
    struct Row {
        bool synchronous;
        int failing, error, fileFlushes, directoryFlushes;
        bool placed;
    };
    for (const Row row : {Row{true, 0, 0, 1, 1, true}, Row{true, 1, EIO, 1, 0, false},
                          Row{true, 2, EIO, 1, 1, true}, Row{false, 0, 0, 0, 0, true}}) {
        flushes[0] = flushes[1] = 0;
        failing = row.failing;
        fileio::WriteOptions flushing;
        flushing.synchronous = row.synchronous;
        fs::remove(dir / "synced");
        EXPECT_EQ(fileio::writeFileAtomically(dir / "synced", bytesOf("x"), flushing).error,
                  row.error);
        EXPECT_EQ(flushes[0], row.fileFlushes);
        EXPECT_EQ(flushes[1], row.directoryFlushes);
        EXPECT_EQ(fs::exists(dir / "synced"), row.placed);
    }
    EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"out", "source", "synced"}));
}

// The directory on a source's path is swapped for a link to another directory as soon as the
// source has been read, at the worst moment a second user could pick: the output still lands
// beside the file that was read, and --rm removes that file, never the other directory's. The
// output named in a third directory (lzc -o) is written there all the same.
TEST_F(FileLayer, ADirectorySwappedOnTheSourcesPathOnceItIsReadSendsNothingElsewhere) {
    static fs::path real;
    static fs::path moved;
    real = dir / "real";
    moved = dir / "moved";
    fileio::seam::sourceRead = [] {
        fs::rename(real, moved);
        fs::create_directory_symlink("other", real);
    };
    const Bytes others = bytesOf("not this one");
    struct Row {
        bool compressing;
        const char* source;
        const char* output;  // beside the source, or in named/ when `named`
        bool named;
    };
    for (const Row row :
         {Row{true, "data", "data.lzc", false}, Row{false, "data.lzc", "data", false},
          Row{true, "data", "out.lzc", true}}) {
        SCOPED_TRACE(std::string(row.source) + " -> " + row.output);
        for (const char* name : {"real", "moved", "other", "named"}) {
            fs::remove_all(dir / name);
            fs::create_directory(dir / name);
        }
        writeBytes(real / row.source, row.compressing ? kData : kStream);
        writeBytes(dir / "other" / row.source, others);
        OperationOptions removing;
        removing.removeSource = true;
        Compressor compressor;
        const Endpoint source = Endpoint::file(real / row.source);
        const Endpoint output = Endpoint::file((row.named ? dir / "named" : real) / row.output);
        const Outcome outcome = row.compressing ? compressFile(compressor, source, output, removing)
                                                : decompressFile(source, output, removing);
        EXPECT_EQ(outcome.status, Status::ok);
        EXPECT_EQ(outcome.removal, Removal::removed);
        const fs::path written = (row.named ? dir / "named" : moved) / row.output;
        EXPECT_EQ(listDirectory(written.parent_path()), std::vector<std::string>{row.output});
        if (fs::exists(written)) {
            EXPECT_EQ(readBytes(written), row.compressing ? kStream : kData);
        }
        EXPECT_FALSE(fs::exists(moved / row.source));
        EXPECT_EQ(listDirectory(dir / "other"), std::vector<std::string>{row.source});
        EXPECT_EQ(readBytes(dir / "other" / row.source), others);
    }
}

// The window's question: a link or FIFO at the destination is only ever replaced itself, when
// the user says yes; a file that already holds the new bytes is replaced without asking.
TEST_F(FileLayer, AskingToReplaceNeverWritesThroughWhatStandsAtTheDestination) {
    writeBytes(dir / "source", kData);
    writeBytes(dir / "elsewhere", bytesOf("untouched"));
    struct Row {
        const char* setup;
        bool answer;
        bool asked;
        OperationStatus status;
    };
    for (const Row row :
         {Row{"link", false, true, FileStatus::cancelled}, Row{"link", true, true, Status::ok},
          Row{"fifo", false, true, FileStatus::cancelled},
          Row{"same bytes", false, false, Status::ok}}) {
        const std::string setup = row.setup;
        SCOPED_TRACE(setup + (row.answer ? ", yes" : ", no"));
        fs::remove(dir / "out");
        if (setup == "link") {
            fs::create_symlink(dir / "elsewhere", dir / "out");
        } else if (setup == "fifo") {
            ASSERT_EQ(::mkfifo((dir / "out").c_str(), 0600), 0);
        } else {
            writeBytes(dir / "out", kStream);
        }
        bool asked = false;
        OperationOptions asking;
        asking.replace = fileio::Replace::ask;
        asking.confirmReplace = [&] {
            asked = true;
            return row.answer;
        };
        Compressor compressor;
        const Outcome outcome = compressFile(compressor, Endpoint::file(dir / "source"),
                                             Endpoint::file(dir / "out"), asking);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(asked, row.asked);
        EXPECT_EQ(readBytes(dir / "elsewhere"), bytesOf("untouched"));
        const bool replaced = row.status == Status::ok;
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status(dir / "out")), replaced || !row.asked);
        if (replaced) {
            EXPECT_EQ(readBytes(dir / "out"), kStream);
        }
    }
}

}  // namespace
}  // namespace lzc::test
