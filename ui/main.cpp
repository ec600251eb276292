// Vellicor: shows the main window until it is closed. Takes no arguments.
#include <QApplication>

#include "vellicor/dialogs.h"
#include "vellicor/vellicor.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellicor"));
    // Lets a desktop match the running window to vellicor.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vellicor"));
    vellicor::QtDialogs dialogs;
    vellicor::Vellicor window(dialogs);
    window.show();
    return QApplication::exec();
}
