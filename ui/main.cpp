// Vellicor: shows the main window until it is closed. Takes no arguments.
#include <QApplication>

#include "vellicor/dialogs.h"
#include "vellicor/vellicor.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellicor"));
    vellicor::QtDialogs dialogs;
    vellicor::Vellicor window(dialogs);
    window.show();
    return QApplication::exec();
}
