// The argument parser, without running the tool.
#include <gtest/gtest.h>

#include <initializer_list>

#include "lzc_cli/command_line.h"

namespace lzc::cli {
namespace {

using Action = ParsedCommandLine::Action;

ParsedCommandLine parse(std::initializer_list<std::string_view> arguments) {
    return parseCommandLine(std::span(arguments.begin(), arguments.size()));
}

Settings parseValid(std::initializer_list<std::string_view> arguments) {
    const ParsedCommandLine parsed = parse(arguments);
    EXPECT_EQ(parsed.action, Action::run) << parsed.error;
    return parsed.settings;
}

std::string usageError(std::initializer_list<std::string_view> arguments) {
    const ParsedCommandLine parsed = parse(arguments);
    EXPECT_EQ(parsed.action, Action::reportUsageError);
    return parsed.error;
}

TEST(CommandLine, NoArgumentsCompressesStandardInputWithTheOptimalWindow) {
    const Settings settings = parseValid({});
    EXPECT_EQ(settings.mode, Mode::compress);
    EXPECT_EQ(settings.inputs, std::vector<std::string>{"-"});
    EXPECT_EQ(settings.window, 32767);
    EXPECT_FALSE(settings.force || settings.removeSource || settings.toStdout);
    EXPECT_FALSE(settings.output);
    EXPECT_EQ(settings.verbosity, Verbosity::normal);
}

TEST(CommandLine, ShortOptionsBundleAndLongOptionsSpellOut) {
    const Settings bundled = parseValid({"-dcf", "a.lzc", "b.lzc"});
    EXPECT_EQ(bundled.mode, Mode::decompress);
    EXPECT_TRUE(bundled.toStdout && bundled.force);
    EXPECT_EQ(bundled.inputs, (std::vector<std::string>{"a.lzc", "b.lzc"}));

    const Settings spelled = parseValid({"--decompress", "--stdout", "--force", "a.lzc"});
    EXPECT_EQ(spelled.mode, Mode::decompress);
    EXPECT_TRUE(spelled.toStdout && spelled.force);

    EXPECT_EQ(parseValid({"-t", "x"}).mode, Mode::test);
    EXPECT_EQ(parseValid({"--list", "x"}).mode, Mode::list);
    EXPECT_EQ(parseValid({"-d", "-l", "x"}).mode, Mode::list);
}

TEST(CommandLine, OptionValuesAttachOrFollow) {
    for (const auto& arguments : {std::vector<std::string_view>{"-w1024", "f"},
                                  std::vector<std::string_view>{"-w", "1024", "f"},
                                  std::vector<std::string_view>{"-fw", "1024", "f"},
                                  std::vector<std::string_view>{"--window=1024", "f"},
                                  std::vector<std::string_view>{"--window", "1024", "f"}}) {
        const ParsedCommandLine parsed = parseCommandLine(arguments);
        ASSERT_EQ(parsed.action, Action::run) << parsed.error;
        EXPECT_EQ(parsed.settings.window, 1024);
        EXPECT_EQ(parsed.settings.inputs, std::vector<std::string>{"f"});
    }
    EXPECT_EQ(parseValid({"-oout.lzc", "f"}).output, "out.lzc");
    EXPECT_EQ(parseValid({"--output=out.lzc", "f"}).output, "out.lzc");
    // A value may itself start with a dash.
    EXPECT_EQ(parseValid({"-o", "-x", "f"}).output, "-x");
}

TEST(CommandLine, QualityNamesGiveTheSixWindows) {
    const std::pair<std::string_view, std::int32_t> levels[] = {
        {"optimal", 32767},      {"good", 16383}, {"moderate", 8191},
        {"below-average", 4092}, {"poor", 2048},  {"very-poor", 1024}};
    for (const auto& [name, window] : levels) {
        EXPECT_EQ(parseValid({"-Q", name, "f"}).window, window) << name;
        EXPECT_EQ(windowForQuality(name), window);
    }
    EXPECT_EQ(windowForQuality("Very-Poor"), 1024);
    EXPECT_FALSE(windowForQuality("best"));
    EXPECT_FALSE(windowForQuality("below average"));
    EXPECT_NE(usageError({"-Q", "best"}).find("very-poor"), std::string::npos);
    // The later of -w and -Q decides.
    EXPECT_EQ(parseValid({"-Q", "poor", "-w", "77", "f"}).window, 77);
    EXPECT_EQ(parseValid({"-w", "77", "-Q", "poor", "f"}).window, 2048);
}

TEST(CommandLine, WindowMustBeAWholeNumberFromOneTo32767) {
    EXPECT_EQ(parseValid({"-w", "1"}).window, 1);
    EXPECT_EQ(parseValid({"-w", "32767"}).window, 32767);
    for (std::string_view bad : {"0", "32768", "-5", "+5", "12a", "", " 12", "99999999999"}) {
        EXPECT_EQ(
            usageError({"-w", bad}),
            "the window must be a whole number from 1 to 32767, not '" + std::string(bad) + "'");
    }
}

TEST(CommandLine, MalformedOptionsAreUsageErrors) {
    EXPECT_EQ(usageError({"-x"}), "unknown option -x");
    EXPECT_EQ(usageError({"-dx"}), "unknown option -x");
    EXPECT_EQ(usageError({"--nope"}), "unknown option --nope");
    EXPECT_EQ(usageError({"--force=yes"}), "--force takes no value");
    EXPECT_EQ(usageError({"f", "-w"}), "-w needs a value");
    EXPECT_EQ(usageError({"--output"}), "--output needs a value");
    EXPECT_EQ(usageError({"-o", "", "f"}), "-o needs a file name");
}

TEST(CommandLine, DashIsAnInputAndDoubleDashEndsOptions) {
    EXPECT_EQ(parseValid({"a", "-", "b"}).inputs, (std::vector<std::string>{"a", "-", "b"}));
    const Settings settings = parseValid({"-f", "--", "-d", "--rm"});
    EXPECT_EQ(settings.mode, Mode::compress);
    EXPECT_FALSE(settings.removeSource);
    EXPECT_EQ(settings.inputs, (std::vector<std::string>{"-d", "--rm"}));
}

TEST(CommandLine, LaterFlagsOverrideEarlierOnes) {
    EXPECT_EQ(parseValid({"-q", "-v"}).verbosity, Verbosity::verbose);
    EXPECT_EQ(parseValid({"-v", "-q"}).verbosity, Verbosity::quiet);
    EXPECT_TRUE(parseValid({"-k", "--rm", "f"}).removeSource);
    EXPECT_FALSE(parseValid({"--rm", "-k", "f"}).removeSource);
}

TEST(CommandLine, ContradictoryCombinationsAreRefused) {
    EXPECT_EQ(usageError({"-t", "-l", "f"}), "-t and -l cannot be combined");
    EXPECT_EQ(usageError({"-c", "-o", "x", "f"}), "-c and -o cannot be combined");
    EXPECT_FALSE(usageError({"-t", "-c", "f"}).empty());
    EXPECT_FALSE(usageError({"-l", "-o", "x", "f"}).empty());
    EXPECT_FALSE(usageError({"-t", "--rm", "f"}).empty());
    EXPECT_FALSE(usageError({"-c", "--rm", "f"}).empty());
    EXPECT_FALSE(usageError({"-o", "-", "--rm", "f"}).empty());
    EXPECT_EQ(usageError({"-o", "x", "a", "b"}),
              "-o names the output of a single input, but 2 were given");
    // Restored data may be joined on standard output; compressed streams may not.
    EXPECT_EQ(usageError({"-c", "a", "b"}), "only one input can be compressed to standard output");
    EXPECT_FALSE(usageError({"-", "-"}).empty());
    EXPECT_EQ(parseValid({"-dc", "a.lzc", "b.lzc"}).inputs.size(), 2U);
    EXPECT_EQ(parseValid({"-", "a"}).inputs.size(), 2U);
}

TEST(CommandLine, HelpAndVersionStopParsing) {
    EXPECT_EQ(parse({"-d", "-h", "-x"}).action, Action::showHelp);
    EXPECT_EQ(parse({"--version", "--nope"}).action, Action::showVersion);
    EXPECT_EQ(parse({"-x", "-h"}).action, Action::reportUsageError);
}

}  // namespace
}  // namespace lzc::cli
