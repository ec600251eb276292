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
// getopt_long's codes for --fast and --best.
constexpr int kFast = 258;
constexpr int kBest = 259;
// getopt_long's code for an input when non-options are returned in order.
constexpr int kInput = 1;

// '-': inputs come back in order (code 1) wherever they stand, whatever POSIXLY_CORRECT says;
// ':': a missing value is told apart from an unknown option. Digits are the levels, one digit
// at a time.
constexpr char kShortOptions[] = "-:dtlco:fkqvw:Q:rT:hV0123456789";

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
    {"recursive", no_argument, nullptr, 'r'},
    {"threads", required_argument, nullptr, 'T'},
    {"fast", no_argument, nullptr, kFast},
    {"best", no_argument, nullptr, kBest},
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

std::optional<unsigned> parseThreads(std::string_view text) {
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
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
            const bool digit = result >= '0' && result <= '9';
            if (digit && level_ && levelElement_ == element) {
                // The next digit of the same argument: -19 is level 19, as zstd reads it.
                level_ = std::min(*level_ * 10 + (result - '0'), 100);
                continue;
            }
            endLevel();
            if (finished_) {
                break;
            }
            if (digit) {
                level_ = result - '0';
                levelElement_ = element;
            } else if (result == '?' || result == ':') {
                const std::string_view written = copies[static_cast<std::size_t>(element)];
                fail(written.starts_with("--") ? longOptionError(written, result, optopt)
                                               : shortOptionError(result, optopt));
            } else {
                apply(result, optarg == nullptr ? std::string_view() : std::string_view(optarg));
            }
        }
        if (!finished_) {
            endLevel();
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
            case 'w':  // -w, -Q and the levels all set the window: the last one counts
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
            case 'r':
                settings.recursive = true;
                break;
            case 'T':
                if (const auto threads = parseThreads(value)) {
                    settings.threads = *threads;
                } else {
                    fail(
                        "the number of threads must be a whole number (0: one per processor), "
                        "not '" +
                        std::string(value) + "'");
                }
                break;
            case kFast:
                settings.window = qualityOfLevel(kFastestLevel).window;
                break;
            case kBest:
                settings.window = qualityOfLevel(kBestLevel).window;
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

    // A level's digits are all read once another option, an input or the end follows them.
    void endLevel() {
        if (!level_) {
            return;
        }
        if (*level_ == 0) {
            fail("the levels are 1 (fastest) to 9 (best), not 0");
        } else {
            result_.settings.window = qualityOfLevel(*level_).window;
        }
        level_.reset();
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
        } else if (settings.output && settings.recursive) {
            fail("-o names the output of a single input, and -r may find many");
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
            // A walked directory may hold any number of files.
            return settings.recursive ? 2 : settings.inputs.size();
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
    std::optional<int> level_;  // the level whose digits are being read
    int levelElement_ = 0;      // the argument they stand in
};

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    return Parser().parse(arguments);
}

std::vector<std::string_view> optionsOfName(std::string_view program) {
#ifdef _WIN32
    constexpr std::string_view kSeparators = "/\\:";
#else
    constexpr std::string_view kSeparators = "/";
#endif
    // Without a separator, npos + 1 is 0: the whole of it is the name.
    std::string name(program.substr(program.find_last_of(kSeparators) + 1));
#ifdef _WIN32
    // Names differ in case only in how they are written, and a program ends in .exe.
    for (char& c : name) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (name.ends_with(".exe")) {
        name.resize(name.size() - 4);
    }
#endif
    if (name == "lzcat") {
        return {"-d", "-c"};
    }
    if (name == "unlzc") {
        return {"-d"};
    }
    return {};
}

}  // namespace lzc::cli
