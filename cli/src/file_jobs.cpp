// The per-input loop of lzc. Every mode takes one path: read the input (a file or standard
// input) → run the codec in memory → write the output (a file through the file layer, or
// standard output) → report. Naming lives in output_names, wording in report_text.
#include "lzc_cli/file_jobs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lzc/codec.h"
#include "lzc/file_io.h"
#include "lzc/format.h"
#include "lzc/lzcodec.h"
#include "lzc/naming.h"
#include "lzc_cli/exit_status.h"
#include "lzc_cli/output_names.h"
#include "lzc_cli/report_text.h"

namespace lzc::cli {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kStdinName = "stdin";
constexpr std::string_view kStdoutName = "stdout";

bool isStandardStream(std::string_view name) {
    return name == kStandardStream;
}

// A name as the user wrote it, which lzc holds in UTF-8, as a path. (A path made from a plain
// std::string would read it in the ANSI code page on Windows; on POSIX systems the bytes pass
// through unchanged either way.)
std::filesystem::path pathOf(const std::string& name) {
    return std::filesystem::path(
        std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

// A name as messages show it: quoted when it holds control characters or invalid UTF-8.
std::string displayName(const std::string& input) {
    return isStandardStream(input) ? std::string(kStdinName) : quotedName(input);
}

// Where one input's output goes: standard output when `name` is empty.
struct Destination {
    std::string name;
    bool toStandardOutput() const { return name.empty(); }
    std::string displayName() const {
        return name.empty() ? std::string(kStdoutName) : quotedName(name);
    }
};

class Session {
public:
    Session(const Settings& settings, const Streams& streams)
        : settings_(settings), streams_(streams) {}

    int run() {
        for (const std::string& input : settings_.inputs) {
            try {
                runInput(input);
            } catch (const std::bad_alloc&) {
                fail(displayName(input), statusText(Status::outOfMemory));
            }
        }
        if (settings_.mode == Mode::list && listedCount_ > 1 && !quiet()) {
            writeListLine(listRow(listedCompressed_, listedRestored_, "(totals)"));
        }
        return status_.code();
    }

private:
    bool quiet() const { return settings_.verbosity == Verbosity::quiet; }
    bool verbose() const { return settings_.verbosity == Verbosity::verbose; }
    bool compressing() const { return settings_.mode == Mode::compress; }

    // `name` as displayName() shows it.
    void fail(const std::string& name, const std::string& reason) {
        std::fprintf(streams_.messages, "lzc: %s: %s\n", name.c_str(), reason.c_str());
        status_.error();
    }

    // Something left undone on purpose: said unless -q, and the exit status tells it anyway.
    void warn(const std::string& name, const std::string& reason) {
        if (!quiet()) {
            std::fprintf(streams_.messages, "lzc: %s: %s\n", name.c_str(), reason.c_str());
        }
        status_.warning();
    }

    void tell(const std::string& line) { std::fprintf(streams_.messages, "%s\n", line.c_str()); }

    // Compressed data is neither written to nor read from a terminal without -f. Only the
    // input concerned is refused; the others go on.
    const char* terminalRefusal(const std::string& input, const Destination* destination) const {
        if (settings_.force) {
            return nullptr;
        }
        if (compressing() && destination != nullptr && destination->toStandardOutput() &&
            streams_.outputIsTerminal) {
            return "compressed data not written to a terminal (use -f to force)";
        }
        if (!compressing() && isStandardStream(input) && streams_.inputIsTerminal) {
            return "compressed data not read from a terminal (use -f to force)";
        }
        return nullptr;
    }

    // The output of one input, or nothing when naming refused it (already reported).
    std::optional<Destination> destinationFor(const std::string& input) {
        if (settings_.output) {
            return Destination{isStandardStream(*settings_.output) ? "" : *settings_.output};
        }
        if (settings_.toStdout || isStandardStream(input)) {
            return Destination{};
        }
        const OutputName named =
            compressing() ? compressedName(input, settings_.force) : restoredName(input);
        if (!named.refusal.empty()) {
            warn(displayName(input), named.refusal);
            return std::nullopt;
        }
        return Destination{named.name};
    }

    // Reads an input whole: at most the largest file when compressing, the longest stream
    // otherwise, and never more than one byte past that bound. A link is followed only with -f.
    std::optional<Source> readInput(const std::string& input) {
        const std::size_t limit =
            compressing() ? static_cast<std::size_t>(kMaxSourceSize) : kMaxStreamSize;
        const fileio::Links links = settings_.force ? fileio::Links::follow : fileio::Links::refuse;
        Source source;
        Outcome read = isStandardStream(input)
                           ? readSourceStream(streams_.input, limit, source)
                           : readSourceFile(pathOf(input), limit, links, source);
        if (read.status == Status::sourceTooLarge && !compressing()) {
            read.status = Status::streamTooLong;
        }
        if (read.status == Status::sourceNotRegular) {
            warn(displayName(input), inputFailure(read.status, read.systemError));
            return std::nullopt;
        }
        if (read.status != Status::ok) {
            fail(displayName(input), inputFailure(read.status, read.systemError));
            return std::nullopt;
        }
        return source;
    }

    // Runs the codec of the mode over the input's bytes.
    std::optional<Bytes> transform(const std::string& input, const Bytes& bytes) {
        Bytes result;
        const Status status = compressing() ? compressor_.compress(bytes, settings_.window, result)
                                            : decompressBuffer(bytes, result);
        if (status != Status::ok) {
            fail(displayName(input), inputFailure(status, 0));
            return std::nullopt;
        }
        return result;
    }

    // Writes one output; false when it failed (already reported). `inPlace` tells that it went
    // into an existing FIFO or device rather than a file.
    bool writeOutput(const Source& source, const Destination& destination, const Bytes& bytes,
                     bool& inPlace) {
        inPlace = destination.toStandardOutput();
        if (destination.toStandardOutput()) {
            if (const int error = fileio::writeDescriptor(streams_.output, bytes); error != 0) {
                fail(destination.displayName(), outputFailure(error));
                return false;
            }
            return true;
        }
        fileio::WriteOptions options;
        options.replace = settings_.force ? fileio::Replace::always : fileio::Replace::never;
        options.synchronous = settings_.synchronous;
        options.source = source.facts;
        options.keepTimes = true;
        options.namedByUser = settings_.output.has_value();
        const fileio::WriteResult written =
            fileio::writeFileAtomically(pathOf(destination.name), bytes, options);
        if (written.error == EEXIST) {
            warn(destination.displayName(), outputFailure(written.error));
            return false;
        }
        if (written.error != 0) {
            fail(destination.displayName(), outputFailure(written.error));
            return false;
        }
        inPlace = written.inPlace;
        for (const fileio::MetadataWarning& warning : written.warnings) {
            warn(destination.displayName(), metadataWarning(warning));
        }
        return true;
    }

    void runInput(const std::string& input) {
        std::optional<Destination> destination;
        const bool writes = compressing() || settings_.mode == Mode::decompress;
        if (writes) {
            destination = destinationFor(input);
            if (!destination) {
                return;
            }
        }
        if (const char* refusal = terminalRefusal(input, destination ? &*destination : nullptr)) {
            fail(displayName(input), refusal);
            return;
        }
        const std::optional<Source> read = readInput(input);
        if (!read) {
            return;
        }
        if (destination && !destination->toStandardOutput() && read->facts &&
            fileio::isSameFile(pathOf(destination->name), *read->facts)) {
            fail(displayName(input), "input and output are the same file");
            return;
        }
        const Bytes* source = &read->bytes;
        const std::optional<Bytes> result = transform(input, *source);
        if (!result) {
            return;
        }
        const std::uintmax_t compressed = compressing() ? result->size() : source->size();
        const std::uintmax_t original = compressing() ? source->size() : result->size();
        const std::int32_t ratio = compressionRatio(original, compressed);
        switch (settings_.mode) {
            case Mode::compress:
            case Mode::decompress: {
                bool inPlace = false;
                if (!writeOutput(*read, *destination, *result, inPlace)) {
                    return;
                }
                if (verbose()) {
                    tell(transferLine(displayName(input), destination->displayName(),
                                      source->size(), result->size(), ratio));
                }
                removeSource(input, *read, *destination, inPlace);
                break;
            }
            case Mode::test:
                if (verbose()) {
                    tell(testLine(displayName(input), compressed, original, ratio));
                }
                break;
            case Mode::list:
                if (listedCount_ == 0 && !quiet()) {
                    writeListLine(listHeader());
                }
                writeListLine(listRow(compressed, original, displayName(input)));
                ++listedCount_;
                listedCompressed_ += compressed;
                listedRestored_ += original;
                break;
        }
    }

    // --rm: the source goes only once its output is a file that holds the result, and only
    // if its name still refers to the file that was read.
    void removeSource(const std::string& input, const Source& read, const Destination& destination,
                      bool outputInPlace) {
        if (!settings_.removeSource || !read.facts) {
            return;
        }
        if (outputInPlace) {
            warn(displayName(input),
                 "kept, as its output " + destination.displayName() + " is not a regular file");
            return;
        }
        if (const int error = fileio::removeIfUnchanged(pathOf(input), *read.facts); error != 0) {
            fail(displayName(input),
                 error == fileio::kNameChanged
                     ? "not removed: it changed after it was read"
                     : std::string("cannot be removed: ") + std::strerror(error));
        }
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
    Compressor compressor_;  // one for every input
    ExitStatus status_;
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
