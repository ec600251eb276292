// Saves a picture of the main window to the PNG file named by the first argument, in the language
// named by the second (English without it), in a dark palette with "dark" after it. Run it with
// QT_QPA_PLATFORM=offscreen; scripts/screenshot.sh makes the README's pictures with it.
#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "vellicor/dialogs.h"
#include "vellicor/main_window.h"
#include "vellicor/progress_shapes.h"
#include "vellicor/translations.h"

namespace {

// A dark theme as desktops ship one: light text on dark grey, a blue highlight.
QPalette darkPalette() {
    QPalette palette(QColor(0xe0e0e0), QColor(0x2b2b2b));  // text and window
    palette.setColor(QPalette::Base, QColor(0x1e1e1e));
    palette.setColor(QPalette::Text, QColor(0xe0e0e0));
    palette.setColor(QPalette::Button, QColor(0x3a3a3a));
    palette.setColor(QPalette::ButtonText, QColor(0xe0e0e0));
    palette.setColor(QPalette::Highlight, QColor(0x3daee9));
    return palette;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 4) {
        std::fputs("usage: vellicor_screenshot OUTPUT.png [LANGUAGE [dark]]\n", stderr);
        return 2;
    }
    vellicor::installTranslations(QLocale(arguments.value(2, QStringLiteral("en"))));
    if (arguments.value(3) == QLatin1String("dark")) {
        QApplication::setPalette(darkPalette());
    }
    vellicor::QtDialogs dialogs;
    vellicor::MainWindow window(dialogs);
    // The window as it looks part way through compressing a file.
    window.setFileName(QStringLiteral("/home/ada/notes/report.doc"));
    auto* track = window.findChild<vellicor::RectangleShape*>(QStringLiteral("progressTrack"));
    auto* bar = window.findChild<vellicor::RectangleShape*>(QStringLiteral("progressBar"));
    vellicor::ShapeProgress(*track, *bar).show({2700, 60});
    window.show();
    if (!window.grab().save(arguments.at(1), "PNG")) {
        std::fprintf(stderr, "vellicor_screenshot: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
