// Vellicor: shows the main window until it is closed. `vellicor FILE` puts FILE in the file
// name box, so a desktop can open a file with it.
#include <QApplication>
#include <cstdio>

#include "vellicor/dialogs.h"
#include "vellicor/main_window.h"
#include "vellicor/translations.h"
#include "vellicor/window_arguments.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellicor"));
    // Lets a desktop match the running window to vellicor.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vellicor"));
    // The language of the environment: LANGUAGE=de or LANG=de_DE.UTF-8 shows German.
    vellicor::installTranslations();

    const vellicor::CommandLine commandLine = vellicor::parseCommandLine(QApplication::arguments());
    switch (commandLine.action) {
        case vellicor::CommandLine::Action::printHelp:
        case vellicor::CommandLine::Action::printVersion:
            std::fputs(qPrintable(commandLine.text), stdout);
            return 0;
        case vellicor::CommandLine::Action::refuse:
            std::fputs(qPrintable(commandLine.text), stderr);
            return 2;
        case vellicor::CommandLine::Action::showWindow:
            break;
    }
    vellicor::QtDialogs dialogs;
    vellicor::MainWindow window(dialogs);
    window.setFileName(commandLine.file);
    window.show();
    return QApplication::exec();
}
