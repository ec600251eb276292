#include "lzc_cli/file_jobs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lzc/codec.h"
#include "lzc/file_io.h"
#include "lzc/format.h"
#include "lzc/lzcodec.h"
#include "lzc_cli/ratio_text.h"

namespace lzc::cli {
namespace {

constexpr std::string_view kSuffix = ".lzc";
constexpr std::string_view kStdinName = "stdin";
constexpr std::string_view kStdoutName = "stdout";
// The decoder accepts streams of any length the file frame accepts.
constexpr auto kMaxStreamSize = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

bool isStandardStream(std::string_view name) {
    return name == kStandardStream;
}

std::string displayName(const std::string& input) {
    return isStandardStream(input) ? std::string(kStdinName) : input;
}

// Where one input's output goes.
struct Destination {
    bool toStandardOutput = false;
    std::string name;  // the file, when not standard output

    std::string displayName() const { return toStandardOutput ? std::string(kStdoutName) : name; }
};

std::optional<struct stat> statusOf(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

std::optional<std::uintmax_t> regularFileSize(const std::string& name) {
    const auto info = statusOf(name);
    if (!info || !S_ISREG(info->st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(info->st_size);
}

// The size figure, or nothing when it would not fit (a stream far larger than what it restores
// is valid, but can only come from a hand-made file).
std::optional<std::int32_t> ratioOf(std::uintmax_t original, std::uintmax_t compressed) {
    constexpr auto kLargest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    const double figure =
        static_cast<double>(compressed + 1) / static_cast<double>(original + 1) * 10000.0;
    if (figure >= kLargest) {
        return std::nullopt;
    }
    return compressionRatio(static_cast<std::size_t>(original),
                            static_cast<std::size_t>(compressed));
}

std::string sizeText(std::optional<std::uintmax_t> size) {
    return size ? std::to_string(*size) : std::string("?");
}

std::string ratioText(std::optional<std::int32_t> ratio) {
    return ratio ? formatRatio(*ratio) : std::string("-");
}

// Why a system call failed, in words a user can act on.
std::string reasonForError(int error) {
    if (error == EEXIST) {
        return "already exists (use -f to overwrite)";
    }
    return std::strerror(error);
}

struct InputBytes {
    Status status = Status::ok;
    int systemError = 0;
    std::vector<std::uint8_t> bytes;
};

class Session {
public:
    Session(const Settings& settings, const Streams& streams)
        : settings_(settings), streams_(streams) {}

    int run() {
        if (settings_.mode == Mode::compress && !settings_.force && streams_.outputIsTerminal &&
            anyOutputIsStandard()) {
            std::fprintf(streams_.messages,
                         "lzc: compressed data not written to a terminal (use -f to force)\n");
            return 1;
        }
        for (const std::string& input : settings_.inputs) {
            switch (settings_.mode) {
                case Mode::compress:
                    compressInput(input);
                    break;
                case Mode::decompress:
                    decompressInput(input);
                    break;
                case Mode::test:
                    testInput(input);
                    break;
                case Mode::list:
                    listInput(input);
                    break;
            }
        }
        if (settings_.mode == Mode::list && listedCount_ > 1 && !quiet()) {
            writeListRow(listedCompressed_, listedRestored_,
                         ratioOf(listedRestored_, listedCompressed_), "(totals)");
        }
        return anyFailed_ ? 1 : 0;
    }

private:
    bool quiet() const { return settings_.verbosity == Verbosity::quiet; }
    bool verbose() const { return settings_.verbosity == Verbosity::verbose; }

    void fail(const std::string& name, const std::string& reason) {
        std::fprintf(streams_.messages, "lzc: %s: %s\n", name.c_str(), reason.c_str());
        anyFailed_ = true;
    }

    void tell(const std::string& line) { std::fprintf(streams_.messages, "%s\n", line.c_str()); }

    bool anyOutputIsStandard() const {
        if (settings_.output) {
            return isStandardStream(*settings_.output);
        }
        if (settings_.toStdout) {
            return true;
        }
        for (const std::string& input : settings_.inputs) {
            if (isStandardStream(input)) {
                return true;
            }
        }
        return false;
    }

    // The destination given by -o, -c or the input "-", if any.
    std::optional<Destination> requestedDestination(const std::string& input) const {
        if (settings_.output) {
            if (isStandardStream(*settings_.output)) {
                return Destination{true, {}};
            }
            return Destination{false, *settings_.output};
        }
        if (settings_.toStdout || isStandardStream(input)) {
            return Destination{true, {}};
        }
        return std::nullopt;
    }

    std::optional<Destination> compressedDestination(const std::string& input) {
        if (auto requested = requestedDestination(input)) {
            return requested;
        }
        if (input.ends_with(kSuffix) && !settings_.force) {
            fail(input, "already ends in .lzc (use -f to compress it again)");
            return std::nullopt;
        }
        return Destination{false, input + std::string(kSuffix)};
    }

    std::optional<Destination> restoredDestination(const std::string& input) {
        if (auto requested = requestedDestination(input)) {
            return requested;
        }
        if (!input.ends_with(kSuffix)) {
            fail(input, "does not end in .lzc (name the output with -o)");
            return std::nullopt;
        }
        std::string name = input.substr(0, input.size() - kSuffix.size());
        if (std::filesystem::path(name).filename().empty()) {
            fail(input, "no name is left without .lzc (name the output with -o)");
            return std::nullopt;
        }
        return Destination{false, std::move(name)};
    }

    // Reads an input whole: a named regular file or standard input, of at most `limit` bytes.
    InputBytes readInput(const std::string& input, std::size_t limit) const {
        InputBytes result;
        if (!isStandardStream(input)) {
            const Outcome read = readSourceFile(input, limit, result.bytes);
            result.status = read.status;
            result.systemError = read.systemError;
            return result;
        }
        fileio::ReadResult read = fileio::readDescriptor(streams_.input, limit);
        if (read.error != 0) {
            result.status = Status::readFailed;
            result.systemError = read.error;
        } else if (read.tooLarge) {
            result.status = Status::sourceTooLarge;
        } else {
            result.bytes = std::move(read.bytes);
        }
        return result;
    }

    void failInput(const std::string& input, Status status, int systemError) {
        fail(displayName(input),
             status == Status::readFailed ? reasonForError(systemError) : describe(status));
    }

    // What the written file is given: the source's permission bits and times when the source
    // is a named file. An existing regular file is replaced only with -f; an existing device
    // (/dev/null, say) is written in place, as there is nothing to replace.
    fileio::WriteOptions writeOptionsFor(const std::optional<struct stat>& source,
                                         const std::string& destination) const {
        fileio::WriteOptions options;
        const auto existing = statusOf(destination);
        const bool isDevice =
            existing && !S_ISREG(existing->st_mode) && !S_ISDIR(existing->st_mode);
        options.replaceExisting = settings_.force || isDevice;
        if (source) {
            options.mode = source->st_mode & 0777;
            options.accessTime = source->st_atim;
            options.modificationTime = source->st_mtim;
        }
        return options;
    }

    bool isSameFile(const std::string& input, const std::string& destination) {
        std::error_code error;
        if (std::filesystem::equivalent(input, destination, error) && !error) {
            fail(input, "input and output are the same file");
            return true;
        }
        return false;
    }

    // Writes in-memory output; reports a failure under the destination's name.
    bool writeOutput(const Destination& destination, std::span<const std::uint8_t> bytes) {
        const int error =
            destination.toStandardOutput
                ? fileio::writeDescriptor(streams_.output, bytes)
                : fileio::writeFileAtomically(destination.name, bytes,
                                              writeOptionsFor(std::nullopt, destination.name));
        if (error != 0) {
            fail(destination.displayName(), reasonForError(error));
            return false;
        }
        return true;
    }

    void reportOutcome(const Outcome& outcome, const std::string& input,
                       const std::string& destination) {
        if (outcome.status == Status::writeFailed) {
            fail(destination, reasonForError(outcome.systemError));
        } else {
            failInput(input, outcome.status, outcome.systemError);
        }
    }

    void tellTransfer(const std::string& from, const std::string& to,
                      std::optional<std::uintmax_t> fromSize, std::optional<std::uintmax_t> toSize,
                      std::optional<std::int32_t> ratio) {
        if (verbose()) {
            tell(from + " -> " + to + ": " + sizeText(fromSize) + " -> " + sizeText(toSize) +
                 " bytes (" + ratioText(ratio) + ")");
        }
    }

    // --rm: the source goes only once its output is a file that holds the result.
    void removeSource(const std::string& input, const std::string& destination) {
        if (!settings_.removeSource || isStandardStream(input)) {
            return;
        }
        if (!regularFileSize(destination)) {
            if (!quiet()) {
                tell("lzc: " + input + ": kept, as its output " + destination +
                     " is not a regular file");
            }
            return;
        }
        if (::unlink(input.c_str()) != 0) {
            fail(input, std::string("cannot be removed: ") + std::strerror(errno));
        }
    }

    void compressInput(const std::string& input) {
        const auto destination = compressedDestination(input);
        if (!destination) {
            return;
        }
        if (!isStandardStream(input) && !destination->toStandardOutput) {
            compressFileToFile(input, destination->name);
            return;
        }
        InputBytes source = readInput(input, static_cast<std::size_t>(kMaxSourceSize));
        if (source.status != Status::ok) {
            failInput(input, source.status, source.systemError);
            return;
        }
        std::vector<std::uint8_t> compressed;
        NoProgress noProgress;
        if (const Status status =
                compressBuffer(source.bytes, settings_.window, compressed, noProgress);
            status != Status::ok) {
            failInput(input, status, 0);
            return;
        }
        if (writeOutput(*destination, compressed)) {
            tellTransfer(displayName(input), destination->displayName(), source.bytes.size(),
                         compressed.size(),
                         compressionRatio(source.bytes.size(), compressed.size()));
        }
    }

    void compressFileToFile(const std::string& input, const std::string& destination) {
        if (isSameFile(input, destination)) {
            return;
        }
        const auto sourceStatus = statusOf(input);
        NoProgress noProgress;
        const Outcome outcome =
            compressFile(input, destination, noProgress, kDefaultProgressInterval, settings_.window,
                         writeOptionsFor(sourceStatus, destination));
        if (outcome.status != Status::ok) {
            reportOutcome(outcome, input, destination);
            return;
        }
        tellTransfer(input, destination, regularFileSize(input), regularFileSize(destination),
                     outcome.ratio);
        removeSource(input, destination);
    }

    void decompressInput(const std::string& input) {
        const auto destination = restoredDestination(input);
        if (!destination) {
            return;
        }
        if (!isStandardStream(input) && !destination->toStandardOutput) {
            decompressFileToFile(input, destination->name);
            return;
        }
        std::vector<std::uint8_t> restored;
        const auto compressedSize = decodeInput(input, restored);
        if (compressedSize && writeOutput(*destination, restored)) {
            tellTransfer(displayName(input), destination->displayName(), *compressedSize,
                         restored.size(), ratioOf(restored.size(), *compressedSize));
        }
    }

    void decompressFileToFile(const std::string& input, const std::string& destination) {
        if (isSameFile(input, destination)) {
            return;
        }
        const auto sourceStatus = statusOf(input);
        NoProgress noProgress;
        const Outcome outcome =
            decompressFile(input, destination, noProgress, kDefaultProgressInterval,
                           writeOptionsFor(sourceStatus, destination));
        if (outcome.status != Status::ok) {
            reportOutcome(outcome, input, destination);
            return;
        }
        const auto compressedSize = regularFileSize(input);
        const auto restoredSize = regularFileSize(destination);
        std::optional<std::int32_t> ratio;
        if (compressedSize && restoredSize) {
            ratio = ratioOf(*restoredSize, *compressedSize);
        }
        tellTransfer(input, destination, compressedSize, restoredSize, ratio);
        removeSource(input, destination);
    }

    // Decodes an input in memory; on success `restored` holds its data.
    std::optional<std::size_t> decodeInput(const std::string& input,
                                           std::vector<std::uint8_t>& restored) {
        InputBytes stream = readInput(input, kMaxStreamSize);
        if (stream.status == Status::sourceTooLarge) {
            stream.status = Status::invalidStream;
        }
        if (stream.status != Status::ok) {
            failInput(input, stream.status, stream.systemError);
            return std::nullopt;
        }
        NoProgress noProgress;
        if (const Status status = decompressBuffer(stream.bytes, restored, noProgress);
            status != Status::ok) {
            failInput(input, status, 0);
            return std::nullopt;
        }
        return stream.bytes.size();
    }

    void testInput(const std::string& input) {
        std::vector<std::uint8_t> restored;
        const auto compressedSize = decodeInput(input, restored);
        if (compressedSize && verbose()) {
            tell(displayName(input) + ": OK, " + std::to_string(*compressedSize) + " -> " +
                 std::to_string(restored.size()) + " bytes (" +
                 ratioText(ratioOf(restored.size(), *compressedSize)) + ")");
        }
    }

    void listInput(const std::string& input) {
        std::vector<std::uint8_t> restored;
        const auto compressedSize = decodeInput(input, restored);
        if (!compressedSize) {
            return;
        }
        if (listedCount_ == 0 && !quiet()) {
            writeListLine("compressed   restored     ratio  name");
        }
        writeListRow(*compressedSize, restored.size(), ratioOf(restored.size(), *compressedSize),
                     displayName(input));
        ++listedCount_;
        listedCompressed_ += *compressedSize;
        listedRestored_ += restored.size();
    }

    void writeListRow(std::uintmax_t compressed, std::uintmax_t restored,
                      std::optional<std::int32_t> ratio, const std::string& name) {
        char columns[64];
        std::snprintf(columns, sizeof columns, "%10ju %10ju %9s  ", compressed, restored,
                      ratioText(ratio).c_str());
        writeListLine(columns + name);
    }

    void writeListLine(const std::string& line) {
        const std::string text = line + '\n';
        if (listOutputFailed_) {
            return;
        }
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        if (const int error = fileio::writeDescriptor(streams_.output, bytes); error != 0) {
            fail(std::string(kStdoutName), std::strerror(error));
            listOutputFailed_ = true;
        }
    }

    const Settings& settings_;
    const Streams& streams_;
    bool anyFailed_ = false;
    bool listOutputFailed_ = false;
    std::size_t listedCount_ = 0;
    std::uintmax_t listedCompressed_ = 0;
    std::uintmax_t listedRestored_ = 0;
};

}  // namespace

int runInputs(const Settings& settings, const Streams& streams) {
    return Session(settings, streams).run();
}

}  // namespace lzc::cli
