// The lzc command line: what the arguments ask for, parsed without touching any file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lzc/codec.h"

namespace lzc::cli {

// What lzc does with each input.
enum class Mode {
    compress,    // FILE -> FILE.lzc
    decompress,  // FILE.lzc -> FILE
    test,        // decode in memory, write nothing
    list,        // sizes and ratio of each compressed input
};

enum class Verbosity { quiet, normal, verbose };

// The name that stands for standard input (as an input) and standard output (as -o's value).
inline constexpr std::string_view kStandardStream = "-";

struct Settings {
    Mode mode = Mode::compress;
    bool toStdout = false;              // -c: every output goes to standard output
    std::optional<std::string> output;  // -o: the one input's output
    bool force = false;
    bool removeSource = false;
    bool synchronous = false;  // --synchronous: each output flushed to disk before the next
    Verbosity verbosity = Verbosity::normal;
    std::int32_t window = kWindowOptimal;
    // The inputs in the order given; never empty ("-" when none was named).
    std::vector<std::string> inputs;
};

struct ParsedCommandLine {
    enum class Action { run, showHelp, showVersion, reportUsageError };
    Action action = Action::run;
    Settings settings;
    // For reportUsageError: what is wrong, without the "lzc: " prefix.
    std::string error;
};

// Parses the arguments that follow the program name. Short options may be bundled (-dc) and
// take their value attached or as the next argument (-w1024, -w 1024); long options take it
// after '=' or as the next argument. "--" ends the options; a lone "-" is an input.
ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments);

// The search window of a quality name (optimal, good, moderate, below-average, poor,
// very-poor), ignoring case.
std::optional<std::int32_t> windowForQuality(std::string_view name);

// The full --help text and the --version line.
std::string helpText();
std::string versionText();

}  // namespace lzc::cli
