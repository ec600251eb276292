#include "lzc_cli/command_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace lzc::cli {
namespace {

enum class OptionId {
    decompress,
    test,
    list,
    toStdout,
    output,
    force,
    keep,
    removeSource,
    synchronous,
    quiet,
    verbose,
    window,
    quality,
    help,
    version,
};

struct OptionDef {
    char shortName;  // '\0' when the option has only a long name
    std::string_view longName;
    OptionId id;
    bool takesValue;
};

constexpr std::array kOptions{
    OptionDef{'d', "decompress", OptionId::decompress, false},
    OptionDef{'\0', "uncompress", OptionId::decompress, false},
    OptionDef{'t', "test", OptionId::test, false},
    OptionDef{'l', "list", OptionId::list, false},
    OptionDef{'c', "stdout", OptionId::toStdout, false},
    OptionDef{'\0', "to-stdout", OptionId::toStdout, false},
    OptionDef{'o', "output", OptionId::output, true},
    OptionDef{'f', "force", OptionId::force, false},
    OptionDef{'k', "keep", OptionId::keep, false},
    OptionDef{'\0', "rm", OptionId::removeSource, false},
    OptionDef{'\0', "synchronous", OptionId::synchronous, false},
    OptionDef{'q', "quiet", OptionId::quiet, false},
    OptionDef{'v', "verbose", OptionId::verbose, false},
    OptionDef{'w', "window", OptionId::window, true},
    OptionDef{'Q', "quality", OptionId::quality, true},
    OptionDef{'h', "help", OptionId::help, false},
    OptionDef{'V', "version", OptionId::version, false},
};

struct QualityLevel {
    std::string_view name;
    std::int32_t window;
};

constexpr std::array kQualityLevels{
    QualityLevel{"optimal", kWindowOptimal},   QualityLevel{"good", kWindowGood},
    QualityLevel{"moderate", kWindowModerate}, QualityLevel{"below-average", kWindowBelowAverage},
    QualityLevel{"poor", kWindowPoor},         QualityLevel{"very-poor", kWindowVeryPoor},
};

const OptionDef* findShort(char name) {
    const auto* found =
        std::find_if(kOptions.begin(), kOptions.end(),
                     [name](const OptionDef& def) { return def.shortName == name; });
    return found == kOptions.end() ? nullptr : found;
}

const OptionDef* findLong(std::string_view name) {
    const auto* found = std::find_if(kOptions.begin(), kOptions.end(),
                                     [name](const OptionDef& def) { return def.longName == name; });
    return found == kOptions.end() ? nullptr : found;
}

// How an option is named in messages: the way the user wrote it.
std::string spelling(const OptionDef& def, bool asLong) {
    return asLong ? "--" + std::string(def.longName) : std::string{'-', def.shortName};
}

std::optional<std::int32_t> parseWindow(std::string_view text) {
    std::int32_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || text.front() == '-' || value < 1 ||
        value > kWindowOptimal) {
        return std::nullopt;
    }
    return value;
}

// Collects options left to right, then checks how they combine.
class Parser {
public:
    ParsedCommandLine parse(std::span<const std::string_view> arguments) {
        bool optionsEnded = false;
        for (std::size_t index = 0; index < arguments.size() && !finished_; ++index) {
            const std::string_view argument = arguments[index];
            if (optionsEnded || argument == kStandardStream || !argument.starts_with('-')) {
                result_.settings.inputs.emplace_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument.starts_with("--")) {
                parseLong(argument.substr(2), arguments, index);
            } else {
                parseShortBundle(argument.substr(1), arguments, index);
            }
        }
        if (!finished_) {
            checkCombinations();
        }
        return std::move(result_);
    }

private:
    // Takes the value of an option that needs one: `attached` if present, otherwise the next
    // argument (which is consumed).
    std::optional<std::string_view> takeValue(std::optional<std::string_view> attached,
                                              std::span<const std::string_view> arguments,
                                              std::size_t& index) {
        if (attached) {
            return attached;
        }
        if (index + 1 < arguments.size()) {
            return arguments[++index];
        }
        return std::nullopt;
    }

    void parseLong(std::string_view text, std::span<const std::string_view> arguments,
                   std::size_t& index) {
        const auto equals = text.find('=');
        const std::string_view name = text.substr(0, equals);
        std::optional<std::string_view> attached;
        if (equals != std::string_view::npos) {
            attached = text.substr(equals + 1);
        }
        const OptionDef* def = findLong(name);
        if (def == nullptr) {
            fail("unknown option --" + std::string(name));
            return;
        }
        if (!def->takesValue && attached) {
            fail(spelling(*def, true) + " takes no value");
            return;
        }
        std::optional<std::string_view> value;
        if (def->takesValue) {
            value = takeValue(attached, arguments, index);
            if (!value) {
                fail(spelling(*def, true) + " needs a value");
                return;
            }
        }
        apply(*def, true, value);
    }

    void parseShortBundle(std::string_view letters, std::span<const std::string_view> arguments,
                          std::size_t& index) {
        for (std::size_t at = 0; at < letters.size() && !finished_; ++at) {
            const OptionDef* def = findShort(letters[at]);
            if (def == nullptr) {
                fail("unknown option -" + std::string(1, letters[at]));
                return;
            }
            if (!def->takesValue) {
                apply(*def, false, std::nullopt);
                continue;
            }
            // The rest of the bundle is the value (-w1024); otherwise the next argument is.
            std::optional<std::string_view> attached;
            if (at + 1 < letters.size()) {
                attached = letters.substr(at + 1);
            }
            const auto value = takeValue(attached, arguments, index);
            if (!value) {
                fail(spelling(*def, false) + " needs a value");
                return;
            }
            apply(*def, false, value);
            return;
        }
    }

    void apply(const OptionDef& def, bool asLong, std::optional<std::string_view> value) {
        Settings& settings = result_.settings;
        switch (def.id) {
            case OptionId::decompress:
                decompress_ = true;
                break;
            case OptionId::test:
                test_ = true;
                break;
            case OptionId::list:
                list_ = true;
                break;
            case OptionId::toStdout:
                settings.toStdout = true;
                break;
            case OptionId::output:
                if (value->empty()) {
                    fail(spelling(def, asLong) + " needs a file name");
                    return;
                }
                settings.output = std::string(*value);
                break;
            case OptionId::force:
                settings.force = true;
                break;
            case OptionId::keep:
                settings.removeSource = false;
                break;
            case OptionId::removeSource:
                settings.removeSource = true;
                break;
            case OptionId::synchronous:
                settings.synchronous = true;
                break;
            case OptionId::quiet:
                settings.verbosity = Verbosity::quiet;
                break;
            case OptionId::verbose:
                settings.verbosity = Verbosity::verbose;
                break;
            case OptionId::window:
                if (const auto window = parseWindow(*value)) {
                    settings.window = *window;
                } else {
                    fail("the window must be a whole number from 1 to 32767, not '" +
                         std::string(*value) + "'");
                }
                break;
            case OptionId::quality:
                if (const auto window = windowForQuality(*value)) {
                    settings.window = *window;
                } else {
                    fail("unknown quality '" + std::string(*value) +
                         "' (choose optimal, good, moderate, below-average, poor or very-poor)");
                }
                break;
            case OptionId::help:
                finish(ParsedCommandLine::Action::showHelp);
                break;
            case OptionId::version:
                finish(ParsedCommandLine::Action::showVersion);
                break;
        }
    }

    void checkCombinations() {
        Settings& settings = result_.settings;
        if (settings.inputs.empty()) {
            settings.inputs.emplace_back(kStandardStream);
        }
        if (test_ && list_) {
            fail("-t and -l cannot be combined");
            return;
        }
        settings.mode = list_         ? Mode::list
                        : test_       ? Mode::test
                        : decompress_ ? Mode::decompress
                                      : Mode::compress;
        const bool writesNothing = test_ || list_;
        if (writesNothing && (settings.toStdout || settings.output)) {
            fail("-c and -o cannot be combined with -t or -l, which write nothing");
        } else if (writesNothing && settings.removeSource) {
            fail("--rm cannot be combined with -t or -l, which write nothing");
        } else if (settings.toStdout && settings.output) {
            fail("-c and -o cannot be combined");
        } else if (settings.output && settings.inputs.size() > 1) {
            fail("-o names the output of a single input, but " +
                 std::to_string(settings.inputs.size()) + " were given");
        } else if (settings.removeSource &&
                   (settings.toStdout || settings.output == kStandardStream)) {
            fail("--rm cannot be combined with writing to standard output");
        } else if (settings.mode == Mode::compress && countStandardOutputs() > 1) {
            // A .lzc stream addresses its data from its own first byte, so two streams written
            // one after the other do not form a stream that restores both.
            fail("only one input can be compressed to standard output");
        }
    }

    std::size_t countStandardOutputs() const {
        const Settings& settings = result_.settings;
        if (settings.toStdout) {
            return settings.inputs.size();
        }
        if (settings.output) {
            return settings.output == kStandardStream ? 1 : 0;
        }
        return static_cast<std::size_t>(
            std::count(settings.inputs.begin(), settings.inputs.end(), kStandardStream));
    }

    void fail(std::string message) {
        result_.error = std::move(message);
        finish(ParsedCommandLine::Action::reportUsageError);
    }

    void finish(ParsedCommandLine::Action action) {
        result_.action = action;
        finished_ = true;
    }

    ParsedCommandLine result_;
    bool finished_ = false;
    bool decompress_ = false;
    bool test_ = false;
    bool list_ = false;
};

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    return Parser().parse(arguments);
}

std::optional<std::int32_t> windowForQuality(std::string_view name) {
    for (const QualityLevel& level : kQualityLevels) {
        if (std::equal(name.begin(), name.end(), level.name.begin(), level.name.end(),
                       [](char given, char known) {
                           return std::tolower(static_cast<unsigned char>(given)) == known;
                       })) {
            return level.window;
        }
    }
    return std::nullopt;
}

std::string versionText() {
    return "lzc (Vellicor) " LZC_VERSION "\n";
}

std::string helpText() {
    return R"(Usage: lzc [OPTION]... [FILE]...
Compress or decompress FILEs in the .lzc format (files of up to 32767 bytes).

By default each FILE is compressed to FILE.lzc and FILE is kept. With no FILE,
or when FILE is -, lzc reads standard input and writes standard output.

Operation:
  -d, --decompress      restore each FILE.lzc to FILE
  -t, --test            check that each FILE is a valid .lzc stream; write nothing
  -l, --list            show compressed size, restored size and ratio of each FILE

Output:
  -c, --stdout          write to standard output; keep the input files
  -o, --output=OUT      write to OUT (a single FILE only; - is standard output)
  -f, --force           overwrite existing output files, write compressed data
                        to a terminal, compress a FILE already ending in .lzc
  -k, --keep            keep the input files (the default)
      --rm              remove each input file once its output is written
      --synchronous     flush each output to disk before going on (slower)

Compression:
  -Q, --quality=NAME    how far back repeats are searched for:
                          optimal        32767 bytes (the default)
                          good           16383
                          moderate        8191
                          below-average   4092
                          poor            2048
                          very-poor       1024
  -w, --window=N        search N bytes back, 1 to 32767

Messages:
  -q, --quiet           print nothing but errors (-l: no header, no totals)
  -v, --verbose         print a line for each file: names, sizes and ratio
  -h, --help            show this help and exit
  -V, --version         show the version and exit

The ratio is the compressed size as a percentage of the original size, the
figure the Vellicor window shows: 83.33% means the .lzc file is about 83% as
large as the original (lower is better). Output files get the permission bits
and modification time of their input.

Examples:
  lzc notes.txt                   compress notes.txt to notes.txt.lzc
  lzc -d notes.txt.lzc            restore notes.txt from notes.txt.lzc
  lzc -Q poor *.txt               compress every .txt file, searching 2048 back
  lzc -dc notes.txt.lzc | less    page through notes.txt without restoring it
  lzc < notes.txt > notes.lzc     compress standard input to standard output
  lzc -d -o copy.txt notes.lzc    restore notes.lzc under the name copy.txt
  lzc -l *.lzc                    list sizes and ratios
  lzc -t *.lzc                    check compressed files

Exit status: 0 if every file succeeded, 1 if any failed, 2 for a usage error.
)";
}

}  // namespace lzc::cli
