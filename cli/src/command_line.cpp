// Option parsing by getopt_long, so lzc reads its arguments as GNU tools do: bundled short
// options (-dc), values attached or in the next argument (-w1024, -w 1024, --window=1024,
// --window 1024), unique prefixes of long options (--dec), and "--" to end the options.
#include "lzc_cli/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>

#include "lzc/quality.h"

namespace lzc::cli {
namespace {

// getopt_long's code for the long-only option --rm.
constexpr int kRemoveSource = 256;
// getopt_long's code for the long-only option --synchronous.
constexpr int kSynchronous = 257;
// getopt_long's code for an input when non-options are returned in order.
constexpr int kInput = 1;

// '-': inputs come back in order (code 1) wherever they stand, whatever POSIXLY_CORRECT says;
// ':': a missing value is told apart from an unknown option.
constexpr char kShortOptions[] = "-:dtlco:fkqvw:Q:hV";

constexpr option kLongOptions[] = {
    {"decompress", no_argument, nullptr, 'd'},
    {"uncompress", no_argument, nullptr, 'd'},
    {"test", no_argument, nullptr, 't'},
    {"list", no_argument, nullptr, 'l'},
    {"stdout", no_argument, nullptr, 'c'},
    {"to-stdout", no_argument, nullptr, 'c'},
    {"output", required_argument, nullptr, 'o'},
    {"force", no_argument, nullptr, 'f'},
    {"keep", no_argument, nullptr, 'k'},
    {"rm", no_argument, nullptr, kRemoveSource},
    {"synchronous", no_argument, nullptr, kSynchronous},
    {"quiet", no_argument, nullptr, 'q'},
    {"verbose", no_argument, nullptr, 'v'},
    {"window", required_argument, nullptr, 'w'},
    {"quality", required_argument, nullptr, 'Q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

std::string longNameOf(int code) {
    for (const option* entry = kLongOptions; entry->name != nullptr; ++entry) {
        if (entry->val == code) {
            return entry->name;
        }
    }
    return {};
}

bool takesValue(int code) {
    for (const option* entry = kLongOptions; entry->name != nullptr; ++entry) {
        if (entry->val == code) {
            return entry->has_arg != no_argument;
        }
    }
    return false;
}

// getopt's own wording, for a long option it refused: `argument` is the element as written.
std::string longOptionError(std::string_view argument, int result, int code) {
    const std::string_view name = argument.substr(2, argument.find('=') - 2);
    // A value given to an option that takes none: GNU getopt returns '?' for it, the BSD
    // getopt of MinGW-w64 ':' as for a missing value, so the option itself tells them apart.
    if (code != 0 && !takesValue(code)) {
        return "option '--" + longNameOf(code) + "' doesn't allow an argument";
    }
    if (result == ':') {
        return "option '--" + longNameOf(code) + "' requires an argument";
    }
    std::string candidates;
    int lastCode = -1;
    bool ambiguous = false;
    for (const option* entry = kLongOptions; entry->name != nullptr; ++entry) {
        if (std::string_view(entry->name).starts_with(name)) {
            ambiguous = ambiguous || (lastCode != -1 && lastCode != entry->val);
            lastCode = entry->val;
            candidates += " '--" + std::string(entry->name) + "'";
        }
    }
    if (ambiguous) {
        return "option '--" + std::string(name) + "' is ambiguous; possibilities:" + candidates;
    }
    return "unrecognized option '" + std::string(argument) + "'";
}

std::string shortOptionError(int result, int code) {
    const std::string letter(1, static_cast<char>(code));
    return result == ':' ? "option requires an argument -- '" + letter + "'"
                         : "invalid option -- '" + letter + "'";
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

std::string qualityNames() {
    std::string names;
    for (std::size_t at = 0; at < kQualityLevels.size(); ++at) {
        names += at == 0 ? "" : at + 1 == kQualityLevels.size() ? " or " : ", ";
        names += kQualityLevels[at].name;
    }
    return names;
}

// Collects options left to right, then checks how they combine.
class Parser {
public:
    ParsedCommandLine parse(std::span<const std::string_view> arguments) {
        // getopt_long wants a writable, null-terminated argv; it reads our copies.
        std::vector<std::string> copies{"lzc"};
        copies.insert(copies.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& copy : copies) {
            argv.push_back(copy.data());
        }
        argv.push_back(nullptr);
        const int argc = static_cast<int>(copies.size());

        optind = 0;  // GNU getopt starts afresh, forgetting any earlier parse
        opterr = 0;  // diagnostics go into the result, not to stderr
        while (!finished_) {
            // The element getopt looks at: inputs come back in order, so none are moved.
            const int element = std::max(optind, 1);
            const int result = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
            if (result == -1) {
                break;
            }
            if (result == '?' || result == ':') {
                const std::string_view written = copies[static_cast<std::size_t>(element)];
                fail(written.starts_with("--") ? longOptionError(written, result, optopt)
                                               : shortOptionError(result, optopt));
            } else {
                apply(result, optarg == nullptr ? std::string_view() : std::string_view(optarg));
            }
        }
        if (!finished_) {
            // Whatever follows "--".
            for (int at = optind; at < argc; ++at) {
                result_.settings.inputs.push_back(copies[static_cast<std::size_t>(at)]);
            }
            checkCombinations();
        }
        return std::move(result_);
    }

private:
    void apply(int code, std::string_view value) {
        Settings& settings = result_.settings;
        switch (code) {
            case kInput:
                settings.inputs.emplace_back(value);
                break;
            case 'd':
                decompress_ = true;
                break;
            case 't':
                test_ = true;
                break;
            case 'l':
                list_ = true;
                break;
            case 'c':
                settings.toStdout = true;
                break;
            case 'o':
                if (value.empty()) {
                    fail("-o needs a file name");
                }
                settings.output = std::string(value);
                break;
            case 'f':
                settings.force = true;
                break;
            case 'k':
                settings.removeSource = false;
                break;
            case kRemoveSource:
                settings.removeSource = true;
                break;
            case kSynchronous:
                settings.synchronous = true;
                break;
            case 'q':
                settings.verbosity = Verbosity::quiet;
                break;
            case 'v':
                settings.verbosity = Verbosity::verbose;
                break;
            case 'w':  // -w and -Q both set the window: the later one counts
                if (const auto window = parseWindow(value)) {
                    settings.window = *window;
                } else {
                    fail("the window must be a whole number from 1 to 32767, not '" +
                         std::string(value) + "'");
                }
                break;
            case 'Q':
                if (const auto level = qualityByName(value)) {
                    settings.window = level->window;
                } else {
                    fail("unknown quality '" + std::string(value) + "' (choose " + qualityNames() +
                         ")");
                }
                break;
            case 'h':
                finish(ParsedCommandLine::Action::showHelp);
                break;
            case 'V':
                finish(ParsedCommandLine::Action::showVersion);
                break;
            default:
                fail("unexpected option code " + std::to_string(code));
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

// The -Q lines of the help: each name with its window, aligned on the right.
std::string qualityHelp() {
    std::string lines;
    for (const QualityLevel& level : kQualityLevels) {
        const std::string window = std::to_string(level.window);
        lines += std::string(26, ' ') + std::string(level.name) +
                 std::string(20 - level.name.size() - window.size(), ' ') + window;
        lines += level.window == kWindowOptimal ? " bytes (the default)\n" : "\n";
    }
    return lines;
}

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    return Parser().parse(arguments);
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
  -t, --test            check that each FILE decodes as a .lzc stream; write
                        nothing. The format has no checksum, so damage that
                        still decodes goes unseen
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
)" + qualityHelp() +
           R"(  -w, --window=N        search N bytes back, 1 to 32767
                        (-Q and -w set the same thing: the last one given wins)

Messages:
  -q, --quiet           print nothing but errors (-l: no header, no totals)
  -v, --verbose         print a line for each file: names, sizes and ratio
  -h, --help            show this help and exit
  -V, --version         show the version and exit

Long options may be shortened to any unique prefix, as in --dec.

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
