// compressFile and decompressFile: results, and what happens to the files on failure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lzc/file_io.h"
#include "lzc/file_operation.h"
#include "test_support.h"

namespace lzc::test {
namespace {

namespace fs = std::filesystem;

Outcome compressNamed(const fs::path& source, const fs::path& destination,
                      const OperationOptions& options = {}) {
    Compressor compressor;
    return compressFile(compressor, Endpoint::file(source), Endpoint::file(destination), options);
}

Outcome decompressNamed(const fs::path& source, const fs::path& destination,
                        const OperationOptions& options = {}) {
    return decompressFile(Endpoint::file(source), Endpoint::file(destination), options);
}

mode_t modeOf(const fs::path& name) {
    struct stat info {};
    EXPECT_EQ(::stat(name.c_str(), &info), 0);
    return info.st_mode & 07777;
}

TEST(FileOperation, RoundTripGivesEachOutputItsSourcesPermissions) {
    ScratchDir dir;
    writeBytes(dir / "data.txt", bytesOf("ABCDABCDABCDABCDX"));
    ::chmod((dir / "data.txt").c_str(), 0600);
    writeBytes(dir / "data.txt.lzc", randomBytes(500, 2));  // replaced whole, mode included
    ::chmod((dir / "data.txt.lzc").c_str(), 0644);
    OperationOptions replacing;
    replacing.replace = fileio::Replace::always;
    EXPECT_EQ(compressNamed(dir / "data.txt", dir / "data.txt.lzc", replacing).ratio, 8333);
    EXPECT_EQ(modeOf(dir / "data.txt.lzc"), 0600U);
    ::chmod((dir / "data.txt.lzc").c_str(), 0640);
    fs::remove(dir / "data.txt");
    EXPECT_EQ(decompressNamed(dir / "data.txt.lzc", dir / "data.txt").status, Status::ok);
    EXPECT_EQ(readBytes(dir / "data.txt"), bytesOf("ABCDABCDABCDABCDX"));
    EXPECT_EQ(modeOf(dir / "data.txt"), 0640U);
    EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"data.txt", "data.txt.lzc"}));
}

TEST(FileOperation, MissingOrUnusableSourceCreatesNoDestination) {
    ScratchDir dir;
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const char* source : {"absent", "folder", "dangling", "fifo"}) {
        EXPECT_NE(compressNamed(dir / source, dir / "out.lzc").status, Status::ok) << source;
        EXPECT_NE(decompressNamed(dir / source, dir / "out").status, Status::ok) << source;
    }
    EXPECT_EQ(listDirectory(dir.path()), (std::vector<std::string>{"dangling", "fifo", "folder"}));
}

TEST(FileOperation, FailedOperationLeavesAnExistingDestinationAsItWas) {
    ScratchDir dir;
    const Bytes precious = bytesOf("precious bytes that must survive");
    writeBytes(dir / "empty", Bytes{});
    writeBytes(dir / "huge", randomBytes(32768, 1));
    writeBytes(dir / "corrupt.lzc", Bytes{0x80, 0x01, 'a', 0, 0x00, 0x09, 0x00, 0x04});
    writeBytes(dir / "target", precious);
    ::chmod((dir / "target").c_str(), 0640);

    OperationOptions forced;  // as lzc -f: whatever stands at the destination may be replaced
    forced.replace = fileio::Replace::always;
    EXPECT_EQ(compressNamed(dir / "empty", dir / "target", forced).status, Status::emptyInput);
    EXPECT_EQ(compressNamed(dir / "huge", dir / "target", forced).status, Status::sourceTooLarge);
    EXPECT_EQ(decompressNamed(dir / "empty", dir / "target", forced).status, Status::emptyInput);
    EXPECT_EQ(decompressNamed(dir / "corrupt.lzc", dir / "target", forced).status,
              Status::invalidStream);
    EXPECT_EQ(compressNamed(dir / "target", dir / "target", forced).status, FileStatus::sameFile);

    EXPECT_EQ(readBytes(dir / "target"), precious);
    EXPECT_EQ(modeOf(dir / "target"), 0640U);
    EXPECT_EQ(listDirectory(dir.path()),
              (std::vector<std::string>{"corrupt.lzc", "empty", "huge", "target"}));
}

}  // namespace
}  // namespace lzc::test
