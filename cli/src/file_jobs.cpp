// The per-input loop of lzc: name each input's output, run the file operation that the window
// runs too (lzc/file_operation.h), and report. Naming lives in output_names, wording in
// report_text.
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
#include "lzc/file_operation.h"
#include "lzc/naming.h"
#include "lzc_cli/exit_status.h"
#include "lzc_cli/output_names.h"
#include "lzc_cli/report_text.h"
#include "lzc_cli/text_output.h"

namespace lzc::cli {
namespace {

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
        writeText(streams_.messages, "lzc: " + name + ": " + reason + "\n");
        status_.error();
    }

    // Something left undone on purpose: said unless -q, and the exit status tells it anyway.
    void warn(const std::string& name, const std::string& reason) {
        if (!quiet()) {
            writeText(streams_.messages, "lzc: " + name + ": " + reason + "\n");
        }
        status_.warning();
    }

    void tell(const std::string& line) { writeText(streams_.messages, line + "\n"); }

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
            if (isStandardStream(*settings_.output)) {
                return Destination{};
            }
            if (const std::string refusal = namedOutputRefusal(*settings_.output);
                !refusal.empty()) {
                fail(quotedName(*settings_.output), refusal);
                return std::nullopt;
            }
            return Destination{*settings_.output};
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

    OperationOptions optionsFor(bool writes) const {
        OperationOptions options;
        options.window = settings_.window;
        options.links = settings_.force ? fileio::Links::follow : fileio::Links::refuse;
        options.replace = settings_.force ? fileio::Replace::always : fileio::Replace::never;
        options.namedByUser = settings_.output.has_value();
        options.keepTimes = true;
        options.synchronous = settings_.synchronous;
        options.removeSource = writes && settings_.removeSource;
        return options;
    }

    // Says what went wrong with one input; the name concerned is the output's when writing it
    // failed. Refusals of what the user did not mean to be compressed are warnings.
    void reportFailure(const std::string& input, const Destination& destination,
                       const Outcome& outcome) {
        if (outcome.status == Status::writeFailed) {
            if (outcome.systemError == EEXIST) {
                warn(destination.displayName(), outputFailure(outcome.systemError));
            } else {
                fail(destination.displayName(),
                     outputFailure(outcome.systemError, outcome.nativeError));
            }
        } else if (outcome.status == Status::sourceNotRegular) {
            warn(displayName(input), inputFailure(outcome.status, outcome.systemError));
        } else {
            fail(displayName(input),
                 inputFailure(outcome.status, outcome.systemError, outcome.nativeError));
        }
    }

    // --rm's result: the source goes only once its output is a file that holds the result, and
    // only if its name still refers to the file that was read.
    void reportRemoval(const std::string& input, const Destination& destination,
                       const Outcome& outcome) {
        switch (outcome.removal) {
            case Removal::notAsked:
            case Removal::removed:
                break;
            case Removal::keptForSpecialOutput:
                warn(displayName(input),
                     "kept, as its output " + destination.displayName() + " is not a regular file");
                break;
            case Removal::keptAsChanged:
                fail(displayName(input), "not removed: it changed after it was read");
                break;
            case Removal::failed:
                fail(displayName(input),
                     std::string("cannot be removed: ") + std::strerror(outcome.removalError));
                break;
        }
    }

    void runInput(const std::string& input) {
        const bool writes = compressing() || settings_.mode == Mode::decompress;
        Destination destination;
        if (writes) {
            std::optional<Destination> named = destinationFor(input);
            if (!named) {
                return;
            }
            destination = *named;
        }
        if (const char* refusal = terminalRefusal(input, writes ? &destination : nullptr)) {
            fail(displayName(input), refusal);
            return;
        }
        const Endpoint source = isStandardStream(input) ? Endpoint::stream(streams_.input)
                                                        : Endpoint::file(pathOf(input));
        const Endpoint output = !writes ? Endpoint::discard()
                                : destination.toStandardOutput()
                                    ? Endpoint::stream(streams_.output)
                                    : Endpoint::file(pathOf(destination.name));
        const Outcome outcome = compressing()
                                    ? compressFile(compressor_, source, output, optionsFor(writes))
                                    : decompressFile(source, output, optionsFor(writes));
        if (outcome.status != Status::ok) {
            reportFailure(input, destination, outcome);
            return;
        }
        for (const fileio::MetadataWarning& warning : outcome.warnings) {
            warn(destination.displayName(), metadataWarning(warning));
        }
        const std::uintmax_t compressed = compressing() ? outcome.resultSize : outcome.sourceSize;
        const std::uintmax_t original = compressing() ? outcome.sourceSize : outcome.resultSize;
        switch (settings_.mode) {
            case Mode::compress:
            case Mode::decompress:
                if (verbose()) {
                    tell(transferLine(displayName(input), destination.displayName(),
                                      outcome.sourceSize, outcome.resultSize, outcome.ratio));
                }
                reportRemoval(input, destination, outcome);
                break;
            case Mode::test:
                if (verbose()) {
                    tell(testLine(displayName(input), compressed, original, outcome.ratio));
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
