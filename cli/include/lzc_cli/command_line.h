// The lzc command line: what the arguments ask for, parsed without touching any file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lzc/quality.h"

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
    std::int32_t window = kWindowOptimal;  // -w or -Q, whichever comes last
    bool recursive = false;                // -r: directories are walked
    unsigned threads = 1;                  // -T: files worked on at once; 0 for one per processor
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

// Parses the arguments that follow the program name with getopt_long, as GNU tools do: short
// options may be bundled (-dc) and take their value attached or as the next argument (-w1024,
// -w 1024); long options take it after '=' or as the next argument and may be shortened to a
// unique prefix (--dec). Options and inputs may be mixed; "--" ends the options; a lone "-" is
// an input. Prints nothing: a usage error comes back in `error`, worded as getopt words its own.
// Not reentrant (getopt_long keeps global state).
ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments);

// The options that the name lzc runs under stands for, to go before its arguments: lzcat is
// lzc -dc and unlzc is lzc -d. `program` is argv[0]: a directory and, on Windows, ".exe" and
// letter case are not part of the name.
std::vector<std::string_view> optionsOfName(std::string_view program);

// The full --help text and the --version line.
std::string helpText();
std::string versionText();

}  // namespace lzc::cli
