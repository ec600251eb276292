// The window's command line: vellicor [--compress] [FILE], or --help, -h (and /? on Windows),
// --version. Arguments are UTF-8, without the program's name.
#pragma once

#include <string>
#include <vector>

namespace vellicor {

struct WindowArguments {
    enum class Action { showWindow, showHelp, showVersion, refuse };
    Action action = Action::showWindow;
    // showWindow: the named file made absolute, for the name box (empty without one), and
    // whether to compress it at once (Explorer's "Compress with Vellicor").
    std::string file;
    bool compress = false;
    // What the other actions show: on the terminal on Linux, in a message box on Windows.
    std::string text;
};

WindowArguments readWindowArguments(const std::vector<std::string>& arguments);

}  // namespace vellicor
