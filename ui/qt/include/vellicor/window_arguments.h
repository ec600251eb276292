// The window's command line: vellicor [FILE].
#pragma once

#include <QString>
#include <QStringList>

namespace vellicor {

struct CommandLine {
    enum class Action { showWindow, printHelp, printVersion, refuse };
    Action action = Action::showWindow;
    // showWindow: the named file made absolute, for the file name box; empty without one.
    QString file;
    // What to print for the other actions.
    QString text;
};

// Reads the arguments, the program's name first: one optional file (a desktop passes the file
// it opens), --help or --version. Anything else is refused with the usage.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace vellicor
