// lzc over named files: compressing, restoring, refusing, and what is left on disk.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "lzc/codec.h"
#include "lzc/format.h"
#include "lzc/lzcodec.h"
#include "tool_fixture.h"

namespace lzc::test {
namespace {

using Names = std::vector<std::string>;

TEST_F(LzcTool, CompressesEachFileBesideItselfAndKeepsTheSource) {
    writeText("data.txt", kExampleText);
    const ChildResult result = lzc({"data.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output + result.errors, "");
    EXPECT_EQ(readBytes(dir / "data.txt.lzc"), kExampleStream);
    EXPECT_EQ(listDirectory(dir.path()), (Names{"data.txt", "data.txt.lzc"}));
}

TEST_F(LzcTool, DecompressingRestoresTheNameWithoutItsSuffix) {
    writeBytes(dir / "report.doc.lzc", kExampleStream);
    const ChildResult result = lzc({"-d", "report.doc.lzc"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(readText("report.doc"), kExampleText);
    EXPECT_TRUE(exists("report.doc.lzc"));
}

TEST_F(LzcTool, DecompressingANameWithoutTheSuffixNeedsAnOutputName) {
    writeBytes(dir / "data.bin", kExampleStream);
    writeBytes(dir / ".lzc", kExampleStream);
    ChildResult result = lzc({"-d", "data.bin", ".lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "lzc: data.bin: does not end in .lzc (name the output with -o)\n"
              "lzc: .lzc: no name is left without .lzc (name the output with -o)\n");
    EXPECT_EQ(listDirectory(dir.path()), (Names{".lzc", "data.bin"}));

    result = lzc({"-d", "-o", "restored.txt", "data.bin"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(readText("restored.txt"), kExampleText);
}

TEST_F(LzcTool, CompressingANameThatEndsInLzcNeedsForce) {
    writeText("twice.lzc", kExampleText);
    EXPECT_EQ(lzc({"twice.lzc"}).errors,
              "lzc: twice.lzc: already ends in .lzc (use -f to compress it again)\n");
    EXPECT_FALSE(exists("twice.lzc.lzc"));
    EXPECT_EQ(lzc({"-f", "twice.lzc"}).exitCode, 0);
    EXPECT_EQ(readBytes(dir / "twice.lzc.lzc"), kExampleStream);
}

TEST_F(LzcTool, OneFailingFileDoesNotStopTheOthers) {
    writeText("a.txt", kExampleText);
    writeText("b.txt", "bbbbbbbbbbbbbbbb");
    writeText("empty.txt", "");
    writeBytes(dir / "big.txt", repeated('x', 32768));
    std::filesystem::create_directory(dir / "folder");
    const ChildResult result =
        lzc({"a.txt", "missing.txt", "folder", "empty.txt", "big.txt", "b.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "lzc: missing.txt: no such file\n"
              "lzc: folder: not a regular file\n"
              "lzc: empty.txt: empty file\n"
              "lzc: big.txt: larger than 32767 bytes\n");
    EXPECT_EQ(readBytes(dir / "a.txt.lzc"), kExampleStream);
    EXPECT_EQ(readBytes(dir / "b.txt.lzc"),
              (Bytes{0x80, 0x01, 'b', 'b', 0x00, 0x01, 0x00, 0x0E, 0x80, 0x01, 'b'}));
    EXPECT_EQ(listDirectory(dir.path()), (Names{"a.txt", "a.txt.lzc", "b.txt", "b.txt.lzc",
                                                "big.txt", "empty.txt", "folder"}));
}

TEST_F(LzcTool, InvalidStreamsAreReportedAndRestoreNothing) {
    writeBytes(dir / "early.lzc", Bytes{0x00, 0x05, 0x00, 0x03});  // copies before any data
    writeBytes(dir / "cut.lzc", Bytes{0x80, 0x09, 'a', 'b'});      // literal run cut short
    writeBytes(dir / "good.lzc", kExampleStream);
    const ChildResult result = lzc({"-d", "early.lzc", "cut.lzc", "good.lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "lzc: early.lzc: not a valid .lzc stream\n"
              "lzc: cut.lzc: not a valid .lzc stream\n");
    EXPECT_FALSE(exists("early") || exists("cut"));
    EXPECT_EQ(readText("good"), kExampleText);
}

TEST_F(LzcTool, AnExistingOutputIsLeftAloneWithoutForce) {
    writeText("data.txt", kExampleText);
    writeText("data.txt.lzc", "precious old bytes");
    writeBytes(dir / "x.lzc", kExampleStream);
    writeText("x", "another precious file");

    ChildResult result = lzc({"data.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: data.txt.lzc: already exists (use -f to overwrite)\n");
    result = lzc({"-d", "x.lzc"});
    EXPECT_EQ(result.errors, "lzc: x: already exists (use -f to overwrite)\n");
    EXPECT_EQ(readText("data.txt.lzc"), "precious old bytes");
    EXPECT_EQ(readText("x"), "another precious file");
    EXPECT_EQ(listDirectory(dir.path()), (Names{"data.txt", "data.txt.lzc", "x", "x.lzc"}));

    EXPECT_EQ(lzc({"-f", "data.txt"}).exitCode, 0);
    EXPECT_EQ(lzc({"-df", "x.lzc"}).exitCode, 0);
    EXPECT_EQ(readBytes(dir / "data.txt.lzc"), kExampleStream);
    EXPECT_EQ(readText("x"), kExampleText);
}

TEST_F(LzcTool, AFileIsNeverItsOwnOutput) {
    writeText("data.txt", kExampleText);
    const ChildResult result = lzc({"-f", "-o", "data.txt", "data.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: data.txt: input and output are the same file\n");
    EXPECT_EQ(readText("data.txt"), kExampleText);
}

TEST_F(LzcTool, OutputsTakeTheSourcesPermissionsAndModificationTime) {
    writeText("data.txt", kExampleText);
    ASSERT_EQ(::chmod((dir / "data.txt").c_str(), 0640), 0);
    const struct timespec times[2] = {{1'000'000'000, 0}, {1'234'567'890, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "data.txt").c_str(), times, 0), 0);

    ASSERT_EQ(lzc({"data.txt"}).exitCode, 0);
    ASSERT_EQ(lzc({"-d", "-o", "copy.txt", "data.txt.lzc"}).exitCode, 0);
    for (const char* name : {"data.txt.lzc", "copy.txt"}) {
        struct stat info {};
        ASSERT_EQ(::stat((dir / name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640U) << name;
        EXPECT_EQ(info.st_mtim.tv_sec, 1'234'567'890) << name;
        EXPECT_EQ(info.st_mtim.tv_nsec, 500) << name;
    }
}

TEST_F(LzcTool, RemoveSourceOnlyOnceItsOutputIsWritten) {
    writeText("a.txt", kExampleText);
    writeText("b.txt", kExampleText);
    writeText("b.txt.lzc", "in the way");
    ChildResult result = lzc({"--rm", "a.txt", "b.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(listDirectory(dir.path()), (Names{"a.txt.lzc", "b.txt", "b.txt.lzc"}));

    // Output to a device proves nothing was kept, so the source stays.
    result = lzc({"--rm", "-o", "/dev/null", "b.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.errors, "lzc: b.txt: kept, as its output /dev/null is not a regular file\n");
    EXPECT_TRUE(exists("b.txt"));

    result = lzc({"-d", "--rm", "a.txt.lzc"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(listDirectory(dir.path()), (Names{"a.txt", "b.txt", "b.txt.lzc"}));
    EXPECT_EQ(readText("a.txt"), kExampleText);
}

TEST_F(LzcTool, AFullDeviceFailsTheFile) {
    writeText("data.txt", kExampleText);
    writeBytes(dir / "data.lzc", kExampleStream);
    ChildResult result = lzc({"-o", "/dev/full", "data.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: /dev/full: No space left on device\n");
    result = lzc({"-d", "--rm", "-o", "/dev/full", "data.lzc"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "lzc: /dev/full: No space left on device\n");
    EXPECT_EQ(listDirectory(dir.path()), (Names{"data.lzc", "data.txt"}));
}

TEST_F(LzcTool, AnUnwritableDirectoryFailsTheFileAndLeavesNothingBehind) {
    for (const char* folder : {"locked", "open"}) {
        std::filesystem::create_directory(dir / folder);
        writeText(std::string(folder) + "/data.txt", kExampleText);
    }
    ASSERT_EQ(::chmod((dir / "locked").c_str(), 0555), 0);
    ASSERT_EQ(::chmod((dir / "open").c_str(), 0777), 0);
    const auto result = lzcWithoutPrivileges({"--rm", "locked/data.txt", "open/data.txt"});
    if (!result) {
        GTEST_SKIP() << "cannot run lzc as an unprivileged user (setpriv is missing or refused)";
    }
    EXPECT_EQ(result->exitCode, 1);
    EXPECT_EQ(result->errors, "lzc: locked/data.txt.lzc: Permission denied\n");
    EXPECT_EQ(listDirectory(dir / "locked"), (Names{"data.txt"}));
    EXPECT_EQ(listDirectory(dir / "open"), (Names{"data.txt.lzc"}));
}

TEST_F(LzcTool, AnUnreadableSourceIsReported) {
    writeText("secret.txt", kExampleText);
    ASSERT_EQ(::chmod((dir / "secret.txt").c_str(), 0600), 0);
    const auto result = lzcWithoutPrivileges({"secret.txt"});
    if (!result) {
        GTEST_SKIP() << "cannot run lzc as an unprivileged user (setpriv is missing or refused)";
    }
    EXPECT_EQ(result->exitCode, 1);
    EXPECT_EQ(result->errors, "lzc: secret.txt: Permission denied\n");
    EXPECT_FALSE(exists("secret.txt.lzc"));
}

// Random bytes in which five blocks recur once each, at distances that only the windows from
// "Poor" upwards reach one more of: every quality level gives a different stream.
constexpr std::size_t kPlantedDistances[] = {1500, 3000, 6000, 12000, 16500};

Bytes windowSensitiveInput() {
    Bytes data = randomBytes(17000, 4);
    const auto& distances = kPlantedDistances;
    for (std::size_t block = 0; block < std::size(distances); ++block) {
        const std::size_t origin = 100 + block * 60;
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(origin), 50,
                    data.begin() + static_cast<std::ptrdiff_t>(origin + distances[block]));
    }
    return data;
}

struct QualityLevel {
    std::string name;
    std::int32_t window;
};

void PrintTo(const QualityLevel& level, std::ostream* out) {
    *out << level.name;
}

Bytes compressedByTheWindow(const std::filesystem::path& source, std::int32_t window) {
    const std::filesystem::path destination = source.string() + ".window";
    NoProgress progress;
    EXPECT_GT(
        Compress(source.string(), destination.string(), progress, kDefaultProgressInterval, window),
        0);
    Bytes stream = readBytes(destination);
    std::filesystem::remove(destination);
    return stream;
}

// How many of the planted blocks a stream codes as matches.
std::size_t countLongMatches(const Bytes& stream) {
    std::size_t count = 0;
    LzcToken token;
    for (std::size_t offset = 0; offset < stream.size(); offset = token.next) {
        if (readToken(stream, offset, token) != TokenRead::ok) {
            ADD_FAILURE() << "unreadable token at " << offset;
            break;
        }
        if (token.kind == LzcToken::Kind::match && token.length >= 40) {
            ++count;
        }
    }
    return count;
}

class LzcQuality : public LzcTool, public ::testing::WithParamInterface<QualityLevel> {};

TEST_P(LzcQuality, WritesTheSameBytesAsTheWindow) {
    const QualityLevel& level = GetParam();
    const Bytes input = windowSensitiveInput();
    writeBytes(dir / "data.bin", input);
    const Bytes expected = compressedByTheWindow(dir / "data.bin", level.window);

    const ChildResult result = lzc({"-Q", level.name, "data.bin"});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(readBytes(dir / "data.bin.lzc"), expected);

    // Each level reaches one more planted repeat than the next lower one, so a level mapped to
    // another level's window could not pass.
    const auto reached = static_cast<std::size_t>(std::count_if(
        std::begin(kPlantedDistances), std::end(kPlantedDistances),
        [&](std::size_t distance) { return std::cmp_less_equal(distance, level.window); }));
    EXPECT_EQ(countLongMatches(expected), reached);
}

INSTANTIATE_TEST_SUITE_P(AllLevels, LzcQuality,
                         ::testing::Values(QualityLevel{"optimal", kWindowOptimal},
                                           QualityLevel{"good", kWindowGood},
                                           QualityLevel{"moderate", kWindowModerate},
                                           QualityLevel{"below-average", kWindowBelowAverage},
                                           QualityLevel{"poor", kWindowPoor},
                                           QualityLevel{"very-poor", kWindowVeryPoor}),
                         [](const ::testing::TestParamInfo<QualityLevel>& param) {
                             std::string name = param.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST_F(LzcTool, AWindowByNumberAndStandardOutputGiveTheSameStream) {
    writeBytes(dir / "data.bin", windowSensitiveInput());
    ASSERT_EQ(lzc({"-Q", "poor", "data.bin"}).exitCode, 0);
    const ChildResult byNumber = lzc({"-c", "-w", "2048", "data.bin"});
    EXPECT_EQ(byNumber.exitCode, 0);
    EXPECT_EQ(byNumber.output, textOf(readBytes(dir / "data.bin.lzc")));
}

}  // namespace
}  // namespace lzc::test
