// One input: name its output, run the file operation that the window runs too
// (lzc/file_operation.h), and tell what happened. Naming lives in output_names, wording in
// report_text.
#include "input_job.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>
#include <span>
#include <vector>

#include "lzc/file_io.h"
#include "lzc/file_operation.h"
#include "lzc/naming.h"
#include "lzc_cli/output_names.h"
#include "lzc_cli/report_text.h"

namespace lzc::cli {

void JobReport::fail(const std::string& name, const std::string& reason) {
    error = true;  // first: telling why may run out of memory
    messages += "lzc: " + name + ": " + reason + "\n";
}

void JobReport::warn(const std::string& name, const std::string& reason, bool quiet) {
    if (!quiet) {
        messages += "lzc: " + name + ": " + reason + "\n";
    }
    warning = true;
}

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

// Where one input's output goes: standard output when `name` is empty. An output beside a file
// that a walk found is named by `leaf` in that file's directory.
struct Destination {
    std::string name;
    std::string leaf;
    bool toStandardOutput() const { return name.empty(); }
    std::string displayName() const {
        return name.empty() ? std::string(kStdoutName) : quotedName(name);
    }
};

class Job {
public:
    Job(const Settings& settings, const Streams& streams, const Input& input,
        Compressor& compressor)
        : settings_(settings), streams_(streams), input_(input), compressor_(compressor) {}

    JobReport run() {
        try {
            work();
        } catch (const std::bad_alloc&) {
            report_.fail(displayName(), kOutOfMemory);
        }
        return std::move(report_);
    }

private:
    bool quiet() const { return settings_.verbosity == Verbosity::quiet; }
    bool verbose() const { return settings_.verbosity == Verbosity::verbose; }
    bool compressing() const { return settings_.mode == Mode::compress; }
    bool walked() const { return input_.directory != nullptr; }

    // The input as messages show it: quoted when it holds control characters or invalid UTF-8.
    std::string displayName() const {
        return isStandardStream(input_.name) && !walked() ? std::string(kStdinName)
                                                          : quotedName(input_.name);
    }

    void warn(const std::string& name, const std::string& reason) {
        report_.warn(name, reason, quiet());
    }

    // Compressed data is neither written to nor read from a terminal without -f. Only the
    // input concerned is refused; the others go on.
    const char* terminalRefusal(const Destination* destination) const {
        if (settings_.force) {
            return nullptr;
        }
        if (compressing() && destination != nullptr && destination->toStandardOutput() &&
            streams_.outputIsTerminal) {
            return "compressed data not written to a terminal (use -f to force)";
        }
        if (!compressing() && isStandardStream(input_.name) && !walked() &&
            streams_.inputIsTerminal) {
            return "compressed data not read from a terminal (use -f to force)";
        }
        return nullptr;
    }

    // The output of the input, or nothing when naming refused it (already reported).
    std::optional<Destination> destination() {
        if (settings_.output) {
            if (isStandardStream(*settings_.output)) {
                return Destination{};
            }
            if (const std::string refusal = namedOutputRefusal(*settings_.output);
                !refusal.empty()) {
                report_.fail(quotedName(*settings_.output), refusal);
                return std::nullopt;
            }
            return Destination{*settings_.output, {}};
        }
        if (settings_.toStdout || (isStandardStream(input_.name) && !walked())) {
            return Destination{};
        }
        const std::string& named = walked() ? input_.leaf : input_.name;
        const OutputName output =
            compressing() ? compressedName(named, settings_.force) : restoredName(named);
        if (!output.refusal.empty()) {
            warn(displayName(), output.refusal);
            return std::nullopt;
        }
        if (!walked()) {
            return Destination{output.name, {}};
        }
        // Messages show the walk's path with the suffix added or taken off as on the name.
        const OutputName shown = compressing() ? compressedName(input_.name, settings_.force)
                                               : restoredName(input_.name);
        return Destination{shown.name, output.name};
    }

    OperationOptions options(bool writes) const {
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

    // Says what went wrong; the name concerned is the output's when writing it failed.
    // Refusals of what the user did not mean to be compressed are warnings.
    void reportFailure(const Destination& destination, const Outcome& outcome) {
        if (outcome.status == FileStatus::writeFailed) {
            if (outcome.systemError == EEXIST) {
                warn(destination.displayName(), outputFailure(outcome.systemError));
            } else {
                report_.fail(destination.displayName(),
                             outputFailure(outcome.systemError, outcome.nativeError));
            }
        } else if (outcome.status == FileStatus::sourceNotRegular) {
            warn(displayName(), inputFailure(outcome.status, outcome.systemError));
        } else {
            report_.fail(displayName(),
                         inputFailure(outcome.status, outcome.systemError, outcome.nativeError));
        }
    }

    // --rm's result: the source goes only once its output is a file that holds the result, and
    // only if its name still refers to the file that was read.
    void reportRemoval(const Destination& destination, const Outcome& outcome) {
        switch (outcome.removal) {
            case Removal::notAsked:
            case Removal::removed:
                break;
            case Removal::keptForSpecialOutput:
                warn(displayName(),
                     "kept, as its output " + destination.displayName() + " is not a regular file");
                break;
            case Removal::keptAsChanged:
                report_.fail(displayName(), "not removed: it changed after it was read");
                break;
            case Removal::failed:
                report_.fail(displayName(), std::string("cannot be removed: ") +
                                                std::strerror(outcome.removalError));
                break;
        }
    }

    Endpoint sourceEndpoint() const {
        if (walked()) {
            return Endpoint::fileAt(input_.directory->descriptor(), pathOf(input_.leaf));
        }
        return isStandardStream(input_.name) ? Endpoint::stream(streams_.input)
                                             : Endpoint::file(pathOf(input_.name));
    }

    Endpoint outputEndpoint(bool writes, const Destination& destination) const {
        if (!writes) {
            return Endpoint::discard();
        }
        if (destination.toStandardOutput()) {
            return Endpoint::stream(streams_.output);
        }
        if (!destination.leaf.empty()) {
            return Endpoint::fileAt(input_.directory->descriptor(), pathOf(destination.leaf));
        }
        return Endpoint::file(pathOf(destination.name));
    }

    void work() {
        const bool writes = compressing() || settings_.mode == Mode::decompress;
        Destination output;
        if (writes) {
            std::optional<Destination> named = destination();
            if (!named) {
                return;
            }
            output = *named;
        }
        if (const char* refusal = terminalRefusal(writes ? &output : nullptr)) {
            report_.fail(displayName(), refusal);
            return;
        }
        const Endpoint source = sourceEndpoint();
        const Endpoint target = outputEndpoint(writes, output);
        const Outcome outcome = compressing()
                                    ? compressFile(compressor_, source, target, options(writes))
                                    : decompressFile(source, target, options(writes));
        if (outcome.status != Status::ok) {
            reportFailure(output, outcome);
            return;
        }
        for (const fileio::MetadataWarning& warning : outcome.warnings) {
            warn(output.displayName(), metadataWarning(warning));
        }
        const std::uintmax_t compressed = compressing() ? outcome.resultSize : outcome.sourceSize;
        const std::uintmax_t original = compressing() ? outcome.sourceSize : outcome.resultSize;
        switch (settings_.mode) {
            case Mode::compress:
            case Mode::decompress:
                if (verbose()) {
                    tell(transferLine(displayName(), output.displayName(), outcome.sourceSize,
                                      outcome.resultSize, outcome.ratio));
                }
                reportRemoval(output, outcome);
                break;
            case Mode::test:
                if (verbose()) {
                    tell(testLine(displayName(), compressed, original, outcome.ratio));
                }
                break;
            case Mode::list:
                report_.listed = JobReport::Listed{compressed, original, displayName()};
                break;
        }
    }

    void tell(const std::string& line) { report_.messages += line + "\n"; }

    const Settings& settings_;
    const Streams& streams_;
    const Input& input_;
    Compressor& compressor_;
    JobReport report_;
};

}  // namespace

JobReport runInput(const Settings& settings, const Streams& streams, const Input& input,
                   Compressor& compressor) {
    return Job(settings, streams, input, compressor).run();
}

}  // namespace lzc::cli
