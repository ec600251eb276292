// lzc: the .lzc codec for terminals, scripts and batches.
#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "lzc/file_io.h"
#include "lzc_cli/command_line.h"
#include "lzc_cli/exit_status.h"
#include "lzc_cli/file_jobs.h"
#include "lzc_cli/text_output.h"
#include "process_setup.h"

namespace {

// Prints help or version text; a failed write (a full disk, say) is an error too.
int printText(const std::string& text) {
    if (!lzc::cli::writeText(stdout, text) || std::fflush(stdout) != 0) {
        std::perror("lzc: stdout");
        return lzc::cli::kExitError;
    }
    return lzc::cli::kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> utf8Arguments = lzc::cli::setUpProcess(argc, argv);
    std::vector<std::string_view> arguments = lzc::cli::optionsOfName(argc > 0 ? argv[0] : "lzc");
    arguments.insert(arguments.end(), utf8Arguments.begin(), utf8Arguments.end());
    const lzc::cli::ParsedCommandLine parsed = lzc::cli::parseCommandLine(arguments);
    switch (parsed.action) {
        case lzc::cli::ParsedCommandLine::Action::showHelp:
            return printText(lzc::cli::helpText());
        case lzc::cli::ParsedCommandLine::Action::showVersion:
            return printText(lzc::cli::versionText());
        case lzc::cli::ParsedCommandLine::Action::reportUsageError:
            lzc::cli::writeText(
                stderr, "lzc: " + parsed.error + "\nTry 'lzc --help' for more information.\n");
            return lzc::cli::kExitError;
        case lzc::cli::ParsedCommandLine::Action::run:
            break;
    }
    lzc::cli::Streams streams;
    streams.input = STDIN_FILENO;
    streams.output = STDOUT_FILENO;
    streams.messages = stderr;
    streams.outputIsTerminal = lzc::fileio::isTerminal(STDOUT_FILENO);
    streams.inputIsTerminal = lzc::fileio::isTerminal(STDIN_FILENO);
    return lzc::cli::runInputs(parsed.settings, streams);
}
