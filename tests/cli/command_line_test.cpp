// The argument parser and the ratio text, without running the tool.
#include <gtest/gtest.h>

#include <vector>

#include "lzc_cli/command_line.h"
#include "lzc_cli/ratio_text.h"

namespace lzc::cli {
namespace {

using Arguments = std::vector<std::string_view>;

// What a command line asks for, in one line: the action or the mode, the options that differ
// from the defaults, the window and the inputs.
std::string outcome(const Arguments& arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    using Action = ParsedCommandLine::Action;
    if (parsed.action != Action::run) {
        return parsed.action == Action::showHelp      ? "help"
               : parsed.action == Action::showVersion ? "version"
                                                      : "error: " + parsed.error;
    }
    const Settings& s = parsed.settings;
    const char* modes[] = {"compress", "decompress", "test", "list"};
    std::string text = modes[static_cast<int>(s.mode)];
    text += std::string(s.toStdout ? " -c" : "") + (s.force ? " -f" : "") +
            (s.removeSource ? " --rm" : "") + (s.output ? " -o " + *s.output : "") +
            (s.verbosity == Verbosity::quiet     ? " -q"
             : s.verbosity == Verbosity::verbose ? " -v"
                                                 : "") +
            " -w " + std::to_string(s.window) + " :";
    for (const std::string& input : s.inputs) {
        text += " " + input;
    }
    return text;
}

TEST(CommandLine, ValidLines) {
    const std::pair<Arguments, std::string> cases[] = {
        {{}, "compress -w 32767 : -"},
        {{"-dcf", "a.lzc", "b.lzc"}, "decompress -c -f -w 32767 : a.lzc b.lzc"},
        {{"--decompress", "--stdout", "--force", "a"}, "decompress -c -f -w 32767 : a"},
        {{"--dec", "-c", "x.lzc"}, "decompress -c -w 32767 : x.lzc"},
        {{"--unc", "--to", "--verb", "x"}, "decompress -c -v -w 32767 : x"},
        {{"x", "-t"}, "test -w 32767 : x"},
        {{"-d", "--list", "x"}, "list -w 32767 : x"},
        {{"-w1024", "f"}, "compress -w 1024 : f"},
        {{"-fw", "1024", "f"}, "compress -f -w 1024 : f"},
        {{"--window=1", "f"}, "compress -w 1 : f"},
        {{"--window", "32767", "f"}, "compress -w 32767 : f"},
        {{"-oout.lzc", "f"}, "compress -o out.lzc -w 32767 : f"},
        {{"--output=o", "f"}, "compress -o o -w 32767 : f"},
        {{"-o", "-x", "f"}, "compress -o -x -w 32767 : f"},
        {{"-Q", "poor", "-w", "77", "f"}, "compress -w 77 : f"},
        {{"-w", "77", "--qual=Very-Poor", "f"}, "compress -w 1024 : f"},
        {{"a", "-", "b", "-d"}, "decompress -w 32767 : a - b"},
        {{"-f", "--", "-d", "--rm"}, "compress -f -w 32767 : -d --rm"},
        {{"-q", "-v", "-k", "--rm", "f"}, "compress --rm -v -w 32767 : f"},
        {{"-v", "-q", "--rm", "-k", "-"}, "compress -q -w 32767 : -"},
        {{"-d", "-h", "-x"}, "help"},
        {{"--vers", "--nope"}, "version"},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(outcome(arguments), expected) << testing::PrintToString(arguments);
    }
    for (const QualityLevel& level : kQualityLevels) {
        EXPECT_EQ(parseCommandLine(Arguments{"-Q", level.name}).settings.window, level.window);
    }
}

TEST(CommandLine, UsageErrors) {
    const std::string window = "error: the window must be a whole number from 1 to 32767, not ";
    const std::string nothing = " cannot be combined with -t or -l, which write nothing";
    const std::pair<Arguments, std::string> cases[] = {
        {{"-dx"}, "error: invalid option -- 'x'"},
        {{"-x", "-h"}, "error: invalid option -- 'x'"},
        {{"--nope"}, "error: unrecognized option '--nope'"},
        {{"--t"}, "error: option '--t' is ambiguous; possibilities: '--test' '--to-stdout'"},
        {{"--force=yes"}, "error: option '--force' doesn't allow an argument"},
        {{"f", "-w"}, "error: option requires an argument -- 'w'"},
        {{"--output"}, "error: option '--output' requires an argument"},
        {{"-o", "", "f"}, "error: -o needs a file name"},
        {{"-w0"}, window + "'0'"},
        {{"-w", "32768"}, window + "'32768'"},
        {{"-w", "+5"}, window + "'+5'"},
        {{"-w", "12a"}, window + "'12a'"},
        {{"-w", ""}, window + "''"},
        {{"-Q", "best"},
         "error: unknown quality 'best' (choose optimal, good, moderate, below-average, poor or "
         "very-poor)"},
        {{"-t", "-l", "f"}, "error: -t and -l cannot be combined"},
        {{"-t", "-c", "f"}, "error: -c and -o" + nothing},
        {{"-l", "-o", "x", "f"}, "error: -c and -o" + nothing},
        {{"-t", "--rm", "f"}, "error: --rm" + nothing},
        {{"-c", "-o", "x", "f"}, "error: -c and -o cannot be combined"},
        {{"-o", "x", "a", "b"}, "error: -o names the output of a single input, but 2 were given"},
        {{"-c", "--rm", "f"}, "error: --rm cannot be combined with writing to standard output"},
        {{"-o", "-", "--rm", "f"},
         "error: --rm cannot be combined with writing to standard output"},
        {{"-c", "a", "b"}, "error: only one input can be compressed to standard output"},
        {{"-", "-"}, "error: only one input can be compressed to standard output"},
    };
    for (const auto& [arguments, expected] : cases) {
        EXPECT_EQ(outcome(arguments), expected) << testing::PrintToString(arguments);
    }
}

TEST(RatioText, TwoDecimalsAtMostWithoutTrailingZeros) {
    EXPECT_EQ(formatRatio(8333), "83.33%");
    EXPECT_EQ(formatRatio(4560), "45.6%");
    EXPECT_EQ(formatRatio(10000), "100%");
    EXPECT_EQ(formatRatio(20000), "200%");
    EXPECT_EQ(formatRatio(3), "0.03%");
    EXPECT_EQ(formatRatio(50), "0.5%");
    EXPECT_EQ(formatRatio(0), "0%");
    EXPECT_EQ(formatRatio(7058), "70.58%");
    EXPECT_EQ(formatRatio(1001), "10.01%");
}

}  // namespace
}  // namespace lzc::cli
