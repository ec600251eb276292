// Saves a picture of the main window to the PNG file named by the only argument. Run it with
// QT_QPA_PLATFORM=offscreen; scripts/screenshot.sh makes docs/vellicor.png with it.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

#include "vellicor/dialogs.h"
#include "vellicor/main_window.h"
#include "vellicor/progress_shapes.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: vellicor_screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    vellicor::QtDialogs dialogs;
    vellicor::MainWindow window(dialogs);
    // The window as it looks part way through compressing a file.
    window.findChild<QLineEdit*>(QStringLiteral("txtFile"))
        ->setText(QStringLiteral("/home/ada/notes/report.doc"));
    auto* track = window.findChild<vellicor::RectangleShape*>(QStringLiteral("shpback"));
    auto* bar = window.findChild<vellicor::RectangleShape*>(QStringLiteral("shpptr"));
    vellicor::ShapeProgress(*track, *bar).setBarWidth(2700.0F);
    window.show();
    if (!window.grab().save(arguments.at(1), "PNG")) {
        std::fprintf(stderr, "vellicor_screenshot: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
