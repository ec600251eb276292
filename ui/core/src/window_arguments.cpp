#include "vellicor/window_arguments.h"

#include "vellicor/path_text.h"
#include "vellicor/texts.h"

namespace vellicor {
namespace {

#ifdef _WIN32
constexpr const char* kProgram = "Vellicor.exe";
#else
constexpr const char* kProgram = "vellicor";
#endif

std::string help() {
    return withValues(translate("vellicor::CommandLine",
                                "Usage: %1 [--compress] [FILE]\n"
                                "Compresses and restores files of up to 32767 bytes in the .lzc "
                                "format.\n\n"
                                "  FILE          The file to show in the file name box.\n"
                                "  --compress    Compress FILE at once.\n"
                                "  -h, --help    Show this help.\n"
                                "  --version     Show the version.\n"),
                      {kProgram});
}

bool isHelp(const std::string& argument) {
#ifdef _WIN32
    if (argument == "/?") {
        return true;
    }
#endif
    return argument == "--help" || argument == "-h";
}

WindowArguments refused(const std::string& reason) {
    return {WindowArguments::Action::refuse, {}, false, reason + "\n\n" + help()};
}

}  // namespace

WindowArguments readWindowArguments(const std::vector<std::string>& arguments) {
    WindowArguments read;
    std::vector<std::string> files;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && isHelp(argument)) {
            return {WindowArguments::Action::showHelp, {}, false, help()};
        }
        if (options && argument == "--version") {
            return {
                WindowArguments::Action::showVersion, {}, false, "vellicor " VELLICOR_VERSION "\n"};
        }
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--compress") {
            read.compress = true;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            return refused(
                withValues(translate("vellicor::CommandLine", "Unknown option: %1"), {argument}));
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() > 1) {
        return refused(translate("vellicor::CommandLine", "Only one file can be named."));
    }
    if (!files.empty()) {
        read.file = absoluteName(files.front());
    }
    return read;
}

}  // namespace vellicor
