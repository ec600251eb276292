// The argument parser and the ratio text, without running the tool.
#include <gtest/gtest.h>

#include <vector>

#include "lzc_cli/command_line.h"

namespace lzc::cli {
namespace {

using Arguments = std::vector<std::string_view>;
using Action = ParsedCommandLine::Action;

// What a command line asks for, in one line: the mode, the options that differ from the
// defaults, the window and the inputs; or "help", "version", or the usage error.
std::string outcome(const Arguments& arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (parsed.action != Action::run) {
        return parsed.action == Action::showHelp      ? "help"
               : parsed.action == Action::showVersion ? "version"
                                                      : parsed.error;
    }
    const Settings& s = parsed.settings;
    const char* const modes[] = {"compress", "decompress", "test", "list"};
    const char* const verbosities[] = {" -q", "", " -v"};
    std::string text = std::string(modes[static_cast<int>(s.mode)]) + (s.toStdout ? " -c" : "") +
                       (s.force ? " -f" : "") + (s.removeSource ? " --rm" : "") +
                       (s.output ? " -o " + *s.output : "") + (s.recursive ? " -r" : "") +
                       (s.threads != 1 ? " -T" + std::to_string(s.threads) : "") +
                       verbosities[static_cast<int>(s.verbosity)] + " " + std::to_string(s.window);
    for (const std::string& input : s.inputs) {
        text += " " + input;
    }
    return text;
}

TEST(CommandLine, ValidLinesAndUsageErrors) {
    const std::string window = "the window must be a whole number from 1 to 32767, not ";
    // Bundles, long names and their prefixes, values attached or following, options after
    // inputs, "--", and the later of two settings winning.
    const std::vector<std::pair<Arguments, std::string>> valid = {
        {{}, "compress 32767 -"},
        {{"-dcf", "a.lzc", "b.lzc"}, "decompress -c -f 32767 a.lzc b.lzc"},
        {{"--dec", "-c", "x.lzc"}, "decompress -c 32767 x.lzc"},
        {{"--unc", "--to", "--verb", "x"}, "decompress -c -v 32767 x"},
        {{"x", "--te"}, "test 32767 x"},
        {{"-d", "--list", "x"}, "list 32767 x"},
        {{"-fw1024", "--output=o", "f"}, "compress -f -o o 1024 f"},
        {{"--window", "1", "-o", "-x", "f"}, "compress -o -x 1 f"},
        {{"-Q", "poor", "--window=77", "f"}, "compress 77 f"},
        {{"-w", "77", "--qual=Very-Poor", "a", "-", "b"}, "compress 1024 a - b"},
        {{"-f", "--", "-d", "--rm"}, "compress -f 32767 -d --rm"},
        {{"-v", "-q", "--rm", "-k", "-"}, "compress -q 32767 -"},
        {{"-d", "-h", "-x"}, "help"},
        {{"--vers", "--nope"}, "version"},
        // Levels: one argument's digits are one level, and one above 9 is the best.
        {{"-1", "f"}, "compress 1024 f"},
        {{"--fast", "-2"}, "compress 2048 -"},
        {{"-d3", "x"}, "decompress 4092 x"},
        {{"-4", "-w", "5", "-7"}, "compress 16383 -"},
        {{"-13", "-w5", "-c1"}, "compress -c 1024 -"},
        {{"-1", "-Q", "good", "-13"}, "compress 32767 -"},
        {{"-1", "--best"}, "compress 32767 -"},
        {{"-rT0", "d"}, "compress -r -T0 32767 d"},
        {{"--recursive", "--thr", "4", "-dc", "d"}, "decompress -c -r -T4 32767 d"},
    };
    // getopt's diagnostics, bad values, contradictory combinations.
    const std::vector<std::pair<Arguments, std::string>> errors = {
        {{"-dx"}, "invalid option -- 'x'"},
        {{"--nope", "-h"}, "unrecognized option '--nope'"},
        {{"--t"}, "option '--t' is ambiguous; possibilities: '--test' '--to-stdout' '--threads'"},
        {{"--force=yes"}, "option '--force' doesn't allow an argument"},
        {{"f", "-w"}, "option requires an argument -- 'w'"},
        {{"--output"}, "option '--output' requires an argument"},
        {{"-o", "", "f"}, "-o needs a file name"},
        {{"-w0"}, window + "'0'"},
        {{"-10", "-0"}, "the levels are 1 (fastest) to 9 (best), not 0"},
        {{"-w", "32768"}, window + "'32768'"},
        {{"-Q", "best"},
         "unknown quality 'best' (choose optimal, good, moderate, "
         "below-average, poor or very-poor)"},
        {{"-t", "-l", "f"}, "-t and -l cannot be combined"},
        {{"-l", "-c", "f"}, "-c and -o cannot be combined with -t or -l, which write nothing"},
        {{"-t", "--rm", "f"}, "--rm cannot be combined with -t or -l, which write nothing"},
        {{"-c", "-o", "x", "f"}, "-c and -o cannot be combined"},
        {{"-o", "x", "a", "b"}, "-o names the output of a single input, but 2 were given"},
        {{"-o", "-", "--rm", "f"}, "--rm cannot be combined with writing to standard output"},
        {{"-c", "a", "b"}, "only one input can be compressed to standard output"},
        {{"-", "-"}, "only one input can be compressed to standard output"},
        {{"-rc", "d"}, "only one input can be compressed to standard output"},
        {{"-r", "-o", "x", "d"}, "-o names the output of a single input, and -r may find many"},
        {{"-T-1"}, "the number of threads must be a whole number (0: one per processor), not '-1'"},
    };
    for (const auto& table : {valid, errors}) {
        for (const auto& [arguments, expected] : table) {
            EXPECT_EQ(outcome(arguments), expected) << testing::PrintToString(arguments);
        }
    }
}

}  // namespace
}  // namespace lzc::cli
