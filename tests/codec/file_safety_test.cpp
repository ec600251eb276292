// People's files under failure: permissions, odd names and sources that are not what they seem.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "lzc/lzcodec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

Outcome compressTo(const fs::path& source, const fs::path& destination) {
    NoProgress progress;
    return compressFile(source, destination, progress, kDefaultProgressInterval, kWindowOptimal);
}

// A scratch directory that the unprivileged user may enter and read.
struct SharedScratch : ScratchDir {
    SharedScratch() { fs::permissions(path(), fs::perms::all); }
};

TEST(FileSafety, UnwritableDirectoryKeepsItsFilesAsTheyWere) {
    SharedScratch dir;
    fs::create_directory(dir / "locked");
    writeBytes(dir / "source", textLike(3000, 1));
    writeBytes(dir / "locked" / "source.lzc", bytesOf("old content"));
    fs::permissions(dir / "locked", fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    fs::permissions(dir / "locked" / "source.lzc", fs::perms::all);

    const int error = runUnprivileged([&] {
        const Outcome outcome = compressTo(dir / "source", dir / "locked" / "source.lzc");
        return outcome.status == Status::writeFailed ? outcome.systemError : 0;
    });
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(readBytes(dir / "locked" / "source.lzc"), bytesOf("old content"));
    EXPECT_EQ(listDirectory(dir / "locked"), std::vector<std::string>{"source.lzc"});
}

TEST(FileSafety, UnreadableSourceCreatesNothing) {
    SharedScratch dir;
    writeBytes(dir / "secret", bytesOf("not for everyone"));
    fs::permissions(dir / "secret", fs::perms::owner_read | fs::perms::owner_write);

    const int error = runUnprivileged([&] {
        const Outcome outcome = compressTo(dir / "secret", dir / "secret.lzc");
        return outcome.status == Status::readFailed ? outcome.systemError : 0;
    });
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(listDirectory(dir.path()), std::vector<std::string>{"secret"});
}

TEST(FileSafety, FullDeviceAsDestinationFails) {
    ScratchDir dir;
    writeBytes(dir / "source", bytesOf("abcdef"));
    const Outcome outcome = compressTo(dir / "source", "/dev/full");
    EXPECT_EQ(outcome.status, Status::writeFailed);
    EXPECT_EQ(outcome.systemError, ENOSPC);
}

TEST(FileSafety, UnusualNamesRoundTrip) {
    ScratchDir dir;
    const Bytes content = textLike(2000, 4);
    for (const std::string name :
         {"with spaces.txt", "-leading-dash", "--", "Grüße — 漢字.txt", ".hidden", "a"}) {
        writeBytes(dir / name, content);
        NoProgress progress;
        ASSERT_GT(Compress((dir / name).string(), (dir / name).string() + ".lzc", progress, 128,
                           kWindowOptimal),
                  0)
            << name;
        fs::remove(dir / name);
        ASSERT_EQ(Decompress((dir / name).string() + ".lzc", (dir / name).string(), progress, 128),
                  0)
            << name;
        EXPECT_EQ(readBytes(dir / name), content) << name;
    }
}

TEST(FileSafety, SourceWhoseReportedSizeIsWrongIsReadToItsEnd) {
    // Files under /proc report a size of 0 but have content: the reader must not trust the size.
    const fs::path source = "/proc/self/mountinfo";
    struct stat info {};
    ASSERT_EQ(::stat(source.c_str(), &info), 0);
    ASSERT_EQ(info.st_size, 0);

    ScratchDir dir;
    const Outcome outcome = compressTo(source, dir / "mounts.lzc");
    if (outcome.status == Status::sourceTooLarge) {
        GTEST_SKIP() << "this machine's mount table is larger than 32767 bytes";
    }
    ASSERT_EQ(outcome.status, Status::ok);
    NoProgress progress;
    Bytes restored;
    ASSERT_EQ(decompressBuffer(readBytes(dir / "mounts.lzc"), restored, progress), Status::ok);
    EXPECT_GT(restored.size(), 0U);
}

}  // namespace
}  // namespace lzc::test
