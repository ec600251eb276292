// Vellicor: shows the main window until it is closed. `vellicor FILE` puts FILE in the file
// name box, so a desktop can open a file with it; `--compress FILE` also compresses it.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

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

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        arguments.push_back(argument.toStdString());
    }
    const vellicor::WindowArguments read = vellicor::readWindowArguments(arguments);
    switch (read.action) {
        case vellicor::WindowArguments::Action::showHelp:
        case vellicor::WindowArguments::Action::showVersion:
            std::fputs(read.text.c_str(), stdout);
            return 0;
        case vellicor::WindowArguments::Action::refuse:
            std::fputs(read.text.c_str(), stderr);
            return 2;
        case vellicor::WindowArguments::Action::showWindow:
            break;
    }
    vellicor::QtDialogs dialogs;
    vellicor::MainWindow window(dialogs);
    window.setFileName(QString::fromStdString(read.file));
    window.show();
    if (read.compress) {
        QTimer::singleShot(0, &window, [&window] { window.flow().compress(); });
    }
    return QApplication::exec();
}
