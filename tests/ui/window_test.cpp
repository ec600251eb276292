// The main window driven through its widgets (clicks, keys, drops), with recording dialogs and
// either a scripted codec or the real one over files in a scratch directory.
#include <QAbstractItemView>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <functional>

#include "vellicor/main_window.h"
#include "vellicor/translations.h"
#include "vellicor/window_arguments.h"

using namespace vellicor;

namespace {

// Records every message (text, informative text, folder), question and typed name handed to the
// file-open dialog; answers with `replace` and `opened`.
struct RecordingDialogs final : Dialogs {
    void showMessage(QWidget*, const Message& message) override {
        messages << QString::fromStdString(message.text);
        informative << QString::fromStdString(message.informativeText);
        folders << QString::fromStdString(message.folder);
    }
    bool askReplace(QWidget*, const QString& path) override {
        asked << path;
        return replace;
    }
    std::optional<QString> showOpen(QWidget*, const QString& typed) override {
        typedNames << typed;
        return opened;
    }
    QStringList messages, informative, folders, asked, typedNames;
    bool replace = false;
    QString opened;
};

// Records the operation, names and window that reach it, runs `during`, returns `outcome`.
struct ScriptedCodec final : FileOperations {
    lzc::Outcome compress(const std::filesystem::path& source,
                          const std::filesystem::path& destination, std::int32_t window,
                          const ProgressReport&, const ReplaceQuestion&) override {
        calls << QStringList{"compress", source.c_str(), destination.c_str(),
                             QString::number(window)};
        return during(), outcome;
    }
    lzc::Outcome decompress(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const ProgressReport&,
                            const ReplaceQuestion&) override {
        calls << QStringList{"decompress", source.c_str(), destination.c_str()};
        return during(), outcome;
    }
    QList<QStringList> calls;
    lzc::Outcome outcome;
    std::function<void()> during = [] {};
};

// A shown, active window with recording dialogs (or others) and the given codec (the real one by
// default).
struct Session {
    explicit Session(FileOperations* codec = nullptr, Dialogs* shown = nullptr)
        : window(shown ? *shown : dialogs, codec ? *codec : fileLayerOperations()) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window, 60000));  // a minute: only a hang takes it
    }
    template <class Control = QWidget>
    Control* get(const char* name) {
        return window.findChild<Control*>(QLatin1String(name));
    }
    void press(const char* button, const QString& fileName) {
        get<QLineEdit>("txtFile")->setText(fileName);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
    }
    RecordingDialogs dialogs;
    MainWindow window;
};

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray readFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const char* const kInputs[] = {"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality"};

// Once the next modal dialog runs, `answer` gets it.
template <class Dialog>
void whenShown(std::function<void(Dialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        answer(dialog);
    });
}

// The texts a user meets on the form: captions, items, title, tooltips, accessible names and
// descriptions.
QStringList formTexts(Session& s) {
    QStringList texts{s.window.windowTitle()};
    for (QWidget* control : s.window.findChildren<QWidget*>()) {
        texts << control->toolTip() << control->accessibleName() << control->accessibleDescription()
              << control->property("text").toString();
    }
    for (int index = 0; index < kQualityCount; ++index) {
        texts << s.get<QComboBox>("cboQuality")->itemText(index);
    }
    return texts;
}

// Every caption and quality fits its control, and every input the window.
void checkTextFits(Session& s) {
    for (const char* name : {"cmdFile", "cmdComp", "cmdDecomp"}) {
        auto* button = s.get<QPushButton>(name);
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        QVERIFY2(room.expandedTo(text) == room, name);
    }
    for (const char* name : kInputs) {
        QVERIFY2(s.window.rect().contains(s.get(name)->geometry()), name);
        QVERIFY2(s.get(name)->height() >= s.get(name)->sizeHint().height(), name);
    }
    QComboBox* quality = s.get<QComboBox>("cboQuality");
    QLineEdit* edit = quality->lineEdit();
    for (int index = 0; index < quality->count(); ++index) {
        quality->setCurrentIndex(index);  // reads from its start, even with the cursor at its end
        edit->end(false);
        QCOMPARE(edit->cursorPositionAt(QPoint(2, edit->height() / 2)), 0);
    }
    quality->showPopup();
    QVERIFY(quality->view()->viewport()->width() >= quality->view()->sizeHintForColumn(0));
    quality->hidePopup();
    quality->setCurrentIndex(0);
}

const char* const kCompressionError = "An error has occured during compression";
const char* const kDecompressionError = "An error has occured during (de)compression";

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsFollowTheDpiFitTheFontAndAreNamed();
    void keysStartOperationsDuringWhichEveryInputIsInert();
    void failureSaysWhyAndWhere();
    void successSaysWhereAndReplacingAsksFirst();
    void fileDialogStartsInTheTypedFolder();
    void dropNamesTheFirstLocalFile();
    void commandLineNamesTheFile();
    void everyTextIsTranslatedAndFits();
    void darkPaletteColoursTheProgress();
    void screenReaderHearsNoFocusWalkAndOneProgressBar();
    void cancelKeepsTheTypedName();
    void ctrlQQuitsUnlessAnOperationRuns();
    void successOffersToOpenTheFolder();
};

void WindowTest::controlsFollowTheDpiFitTheFontAndAreNamed() {
    const QFont normal = QApplication::font();
    for (const qreal points : {5.0, 9.0, 16.0, 28.0}) {
        QFont font = normal;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        Session s;
        QApplication::setFont(normal);
        if (points == 5.0) {  // needs no more room than the twips give: 1440 twips an inch
            const auto px = [dpi = s.window.logicalDpiX()](int twips) {
                return twips * dpi / 1440;
            };
            QCOMPARE(s.window.size(), QSize(px(4680), px(1440)));
            QCOMPARE(s.get("txtFile")->geometry(), QRect(px(120), px(120), px(3975), px(375)));
            QCOMPARE(s.get("shpptr")->geometry(), QRect(px(120), px(1080), 0, px(255)));
        }
        checkTextFits(s);
    }
}

void WindowTest::keysStartOperationsDuringWhichEveryInputIsInert() {
    ScriptedCodec codec;
    codec.outcome.ratio = 4560;
    Session s(&codec);
    s.get<QComboBox>("cboQuality")->setCurrentIndex(3);
    int enabledDuring = 0;
    codec.during = [&] {  // keys and clicks that arrive while the codec runs do nothing
        for (const char* name : kInputs) {
            enabledDuring += s.get(name)->isEnabled() ? 1 : 0;
        }
        QTest::keyClicks(s.get("txtFile"), "x");
        s.window.flow().compressClicked();
        s.window.flow().decompressClicked();
    };
    s.dialogs.opened = "/d/a.lzc";
    s.get<QLineEdit>("txtFile")->setText("/d/a.lzc");
    // Enter and Return press the focused button, a mnemonic its own button; either way the
    // focus goes back where it was afterwards.
    const std::pair<const char*, QKeyCombination> presses[] = {
        {"cmdComp", Qt::Key_Enter},          {"cmdDecomp", Qt::Key_Return},
        {"txtFile", Qt::ALT | Qt::Key_C},    {"cboQuality", Qt::ALT | Qt::Key_D},
        {"cboQuality", Qt::ALT | Qt::Key_B},
    };
    qsizetype done = 0;
    for (const auto& [focus, key] : presses) {
        s.get(focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        // A mnemonic clicks its button after a short flash.
        ++done;
        QTRY_COMPARE(codec.calls.size() + s.dialogs.typedNames.size(), done);
        QCOMPARE(QApplication::focusWidget(), s.get(focus));
    }
    QCOMPARE(enabledDuring, 0);
    for (const char* name : kInputs) {
        QVERIFY(s.get(name)->isEnabled());
    }
    QTest::keyClicks(s.get<QComboBox>("cboQuality")->lineEdit(), "Best");  // no list index
    s.press("cmdComp", "a");
    const QStringList compress{"compress", "/d/a.lzc", "/d/a.lzc.lzc", "4092"};
    const QStringList decompress{"decompress", "/d/a.lzc", "/d/a"};
    QCOMPARE(codec.calls,
             QList<QStringList>(
                 {compress, decompress, compress, decompress, {"compress", "a", "a.lzc", "1024"}}));
    QCOMPARE(s.dialogs.typedNames, QStringList{"/d/a.lzc"});
    QCOMPARE(s.dialogs.messages.mid(3),
             QStringList({"Successfully decompressed", "-1", "Compressed Size: 45.6%"}));
    QStringList windows;  // each quality in the list, best first
    for (int index = 0; index < s.get<QComboBox>("cboQuality")->count(); ++index) {
        s.get<QComboBox>("cboQuality")->setCurrentIndex(index);
        s.press("cmdComp", "a");
        windows << codec.calls.last().last();
    }
    QCOMPARE(windows, QStringList({"32767", "16383", "8191", "4092", "2048", "1024"}));
}

void WindowTest::failureSaysWhyAndWhere() {
    using enum lzc::Status;
    const std::tuple<const char*, QString, lzc::Status, int, QString> cases[] = {
        {"cmdComp", "/d/a", sourceMissing, 0, "The file does not exist.\n/d/a"},
        {"cmdComp", "/d", sourceNotRegular, 0, "This is not a regular file.\n/d"},
        {"cmdComp", "/d/a", emptyInput, 0, "The file is empty.\n/d/a"},
        {"cmdComp", "/d/a", sourceTooLarge, 0, "The file is larger than 32767 bytes.\n/d/a"},
        {"cmdDecomp", "/d/a.lzc", invalidStream, 0, "This is not a valid .lzc stream.\n/d/a.lzc"},
        {"cmdDecomp", "/d/a.lzc", readFailed, EACCES,
         "Permission denied: the file cannot be read.\n/d/a.lzc"},
        {"cmdComp", "/d/a", writeFailed, EACCES,
         "Permission denied: the file cannot be written.\n/d/a.lzc"},
        {"cmdDecomp", "/d/a.lzc", writeFailed, ENOSPC, "The disk is full.\n/d/a"},
        {"cmdDecomp", "/abc", ok, 0,
         "No file name is left once the last four characters are removed.\n/abc"},
        {"cmdComp", "", ok, 0, "Type or choose a file name first."},
        {"cmdDecomp", "", ok, 0, "Type or choose a file name first."},
        {"cmdComp", "~/a", sourceMissing, 0, "The file does not exist.\n/home/ada/a"},
        {"cmdDecomp", "~", sourceMissing, 0, "The file does not exist.\n/home/ada"},
    };
    qputenv("HOME", "/home/ada");
    for (const auto& [button, name, status, error, details] : cases) {
        ScriptedCodec codec;
        codec.outcome.status = status;  // set by name: the outcome may grow more fields
        codec.outcome.systemError = error;
        Session s(&codec);
        s.press(button, name);
        QCOMPARE(
            s.dialogs.messages,
            QStringList(button == QString("cmdComp") ? kCompressionError : kDecompressionError));
        QCOMPARE(s.dialogs.informative, QStringList{details});
        QCOMPARE(codec.calls.size(), name.startsWith("/d") || name.startsWith("~") ? 1 : 0);
    }
}

void WindowTest::successSaysWhereAndReplacingAsksFirst() {
    QTemporaryDir dir;
    const QString source = dir.filePath("notes.txt");
    writeFile(source, "ABCDABCDABCDABCDX");
    Session s;
    s.press("cmdComp", source);
    QCOMPARE(readFile(source + ".lzc"), QByteArray::fromHex("800441424344410001000C800158"));
    // The last update stands one past the end: 18 / 17 of the track.
    const double dpi = s.window.logicalDpiX();
    const double track = s.get("shpback")->width() * 1440 / dpi;
    QCOMPARE(s.get("shpptr")->width(), twipsToPixels(std::floor(track * 18 / 17), dpi));
    s.press("cmdComp", source);  // the same bytes again: nothing to ask
    writeFile(source, "edited");
    s.press("cmdComp", source);  // No, and No again: both files stay, and nothing more is said
    s.press("cmdDecomp", source + ".lzc");
    QCOMPARE(readFile(source + ".lzc"), QByteArray::fromHex("800441424344410001000C800158"));
    QCOMPARE(readFile(source), QByteArray("edited"));
    s.dialogs.replace = true;
    s.press("cmdDecomp", source + ".lzc");
    s.press("cmdDecomp", source + ".lzc");  // restored already: nothing to ask
    QCOMPARE(readFile(source), QByteArray("ABCDABCDABCDABCDX"));
    QCOMPARE(s.dialogs.asked, QStringList({source + ".lzc", source, source}));
    QCOMPARE(s.dialogs.messages,
             QStringList({"Compressed Size: 83.33%", "Compressed Size: 83.33%",
                          "Successfully decompressed", "Successfully decompressed"}));
    QCOMPARE(s.dialogs.folders.value(0), dir.path());  // for the message's folder button
    QCOMPARE(s.dialogs.informative.mid(1, 2),
             QStringList(
                 {"Wrote 14 bytes to\n" + source + ".lzc\nfrom the 17 bytes of\n" + source,
                  "Wrote 17 bytes to\n" + source + "\nfrom the 14 bytes of\n" + source + ".lzc"}));
}

void WindowTest::fileDialogStartsInTheTypedFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("one") && QDir(dir.path()).mkpath("two"));
    const std::tuple<QString, QString, QString> cases[] = {
        {"one/new.txt", "one", "All files (*)"},
        {"two", "two", "All files (*)"},
        {"three/a.txt", "one", "All files (*)"} /* the last choice's */,
        {"one/a.lzc", "one", "Compressed files (*.lzc)"}};
    for (const auto& [typed, folder, filter] : cases) {
        const auto dialog =
            QtDialogs::makeFileDialog(nullptr, dir.filePath("one/b.txt"), dir.filePath(typed));
        QCOMPARE(dialog->directory().absolutePath(), dir.filePath(folder));
        QCOMPARE(dialog->selectedNameFilter(), filter);
        QCOMPARE(dialog->nameFilters().size(), 2);
    }
    Session s;  // the window hands the dialog what is typed, and takes what it returns
    s.dialogs.opened = "/d/chosen.txt";
    s.press("cmdFile", "/d/typed");
    QCOMPARE(s.dialogs.typedNames, QStringList{"/d/typed"});
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/d/chosen.txt"));
}

void WindowTest::dropNamesTheFirstLocalFile() {
    Session s;
    const QList<QUrl> drops[] = {{QUrl("https://example.org/a.txt")},
                                 {QUrl("https://example.org/a.txt"),
                                  QUrl::fromLocalFile("/tmp/a b"), QUrl::fromLocalFile("/tmp/c")}};
    QStringList named;
    for (const QList<QUrl>& urls : drops) {
        QMimeData data;
        data.setUrls(urls);
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject&>(s.window).event(&drop);  // as Qt's drag manager delivers it
        named << s.get<QLineEdit>("txtFile")->text();
    }
    QCOMPARE(named, QStringList({"", "/tmp/a b"}));
    // Two local files: the second is not taken silently.
    QTRY_COMPARE(s.dialogs.messages, QStringList{"2 files were dropped; the first one was taken."});
}

void WindowTest::commandLineNamesTheFile() {
    using Action = CommandLine::Action;
    const QString here = QDir::currentPath();
    QCOMPARE(parseCommandLine({"vellicor"}).file, QString());
    QCOMPARE(parseCommandLine({"vellicor", "a b.lzc"}).file, here + "/a b.lzc");
    QCOMPARE(parseCommandLine({"vellicor", "--", "-x"}).file, here + "/-x");
    QCOMPARE(parseCommandLine({"vellicor", "a", "b"}).action, Action::refuse);
    QCOMPARE(parseCommandLine({"vellicor", "--help"}).action, Action::printHelp);
}

void WindowTest::everyTextIsTranslatedAndFits() {
    Session english;
    const QStringList englishTexts = formTexts(english);
    const QStringList alike{"", "...", "Vellicor v1.0", "Optimal"};  // in some language
    for (const QString language : {"de", "fr"}) {
        QFile ts(QStringLiteral(VELLICOR_TRANSLATIONS_DIR "/vellicor_%1.ts").arg(language));
        QVERIFY(ts.open(QIODevice::ReadOnly) && !ts.readAll().contains("unfinished"));
        QVERIFY(installTranslations(QLocale(language)));
        Session s;
        const QStringList texts = formTexts(s);
        for (qsizetype at = 0; at < texts.size(); ++at) {
            QVERIFY2(texts[at] != englishTexts[at] || alike.contains(texts[at]),
                     qPrintable(texts[at]));
        }
        checkTextFits(s);
        s.press("cmdComp", "");  // and the core's texts
        QVERIFY(s.dialogs.messages[0] != kCompressionError &&
                !s.dialogs.informative[0].startsWith("Type"));
    }
    installTranslations(QLocale(QLocale::English));
}

void WindowTest::darkPaletteColoursTheProgress() {
    // The window's text, the window, Base, Highlight; then the track and the bar.
    const QColor cases[][6] = {
        {Qt::black, 0xefefef, 0xf0f0e0, 0x308cc6, Qt::white, Qt::blue},
        {Qt::white, 0x202020, 0x303030, 0x3daee9, 0x303030, 0x3daee9},
    };
    for (const auto& colours : cases) {
        Session s;
        QPalette palette(colours[0], colours[1]);
        palette.setColor(QPalette::Base, colours[2]);
        palette.setColor(QPalette::Highlight, colours[3]);
        s.window.setPalette(palette);
        ShapeProgress(*s.get<RectangleShape>("shpback"), *s.get<RectangleShape>("shpptr"))
            .setBarWidth(600);
        const QImage image = s.window.grab().toImage();
        const QRect track = s.get("shpback")->geometry();
        const auto at = [&](int x) {
            return image.pixelColor(QPoint(x, track.center().y()) * image.devicePixelRatio());
        };
        QCOMPARE(at(track.right() - 3), colours[4]);
        QCOMPARE(at(track.left() + 3), colours[5]);
    }
}

void WindowTest::screenReaderHearsNoFocusWalkAndOneProgressBar() {
    ScriptedCodec codec;
    Session s(&codec);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&s.window);
    QCOMPARE(window->role(), QAccessible::Window);  // AT-SPI's frame
    s.get<QLineEdit>("txtFile")->setText("/d/a");
    for (const char* focus : {"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality"}) {
        s.get(focus)->setFocus();
        QSignalSpy focusMoves(qApp, &QApplication::focusChanged);
        QStringList heard;  // the progress bars and any control without a name or description
        codec.during = [&] {
            for (int child = 0; child < window->childCount(); ++child) {
                QAccessibleInterface* accessible = window->child(child);
                const QString name = accessible->text(QAccessible::Name);
                if (accessible->role() == QAccessible::ProgressBar) {
                    heard << name + accessible->valueInterface()->currentValue().toString();
                } else if (!accessible->state().invisible &&
                           (name.isEmpty() || name == "..." ||
                            accessible->text(QAccessible::Description).isEmpty())) {
                    heard << accessible->object()->objectName();
                }
            }
        };
        s.window.flow().compressClicked();
        QCOMPARE(focusMoves.count(), 0);
        QCOMPARE(heard, QStringList{"Progress0"});
    }
    QAccessibleInterface* quality = QAccessible::queryAccessibleInterface(s.get("cboQuality"));
    QCOMPARE(quality->text(QAccessible::Name), QString("Quality"));
    QCOMPARE(quality->text(QAccessible::Value), QString("Optimal"));
}

void WindowTest::cancelKeepsTheTypedName() {
    QTemporaryDir dir;
    const QString picked = dir.filePath("picked.txt");
    writeFile(picked, "x");
    QtDialogs dialogs([](const QUrl&) { return true; });
    Session s(nullptr, &dialogs);
    const std::tuple<QString, QString, QString> cases[] = {
        // typed, picked (empty: Cancel), the name box afterwards
        {"typed.txt", "", "typed.txt"},
        {"", picked, picked},
        {"other.txt", "", "other.txt"},
    };
    for (const auto& [typed, pick, after] : cases) {
        whenShown<QFileDialog>([pick = pick](QFileDialog* dialog) {
            if (pick.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(pick);
                static_cast<QDialog*>(dialog)->accept();  // as the Open button does
            }
        });
        s.press("cmdFile", typed);
        QCOMPARE(s.get<QLineEdit>("txtFile")->text(), after);
    }
}

void WindowTest::ctrlQQuitsUnlessAnOperationRuns() {
    for (const bool running : {true, false}) {
        ScriptedCodec codec;
        Session s(&codec);
        codec.during = [&] { QTest::keyClick(s.get("txtFile"), Qt::Key_Q, Qt::ControlModifier); };
        running ? s.press("cmdComp", "/d/a") : codec.during();
        QCOMPARE(s.window.isVisible(), running);
    }
}

void WindowTest::successOffersToOpenTheFolder() {
    using Kind = Message::Kind;
    const std::tuple<Kind, const char*, const char*, QMessageBox::Icon, QList<QUrl>> cases[] = {
        // the message, its folder, the button pressed; the icon and the folders opened
        {Kind::information, "/d", "cmdOpenFolder", QMessageBox::Information, {QUrl("file:///d")}},
        {Kind::information, "/d", "", QMessageBox::Information, {}},
        {Kind::warning, "", "", QMessageBox::Warning, {}},
    };
    for (const auto& [kind, folder, button, icon, opened] : cases) {
        QList<QUrl> urls;
        QtDialogs dialogs([&](const QUrl& url) { return urls << url, true; });
        QMessageBox::Icon shownIcon{};
        whenShown<QMessageBox>([&, button = QString(button)](QMessageBox* box) {
            shownIcon = box->icon();
            QCOMPARE(box->findChild<QPushButton*>("cmdOpenFolder") != nullptr, *folder != '\0');
            (button.isEmpty() ? box->button(QMessageBox::Ok) : box->findChild<QPushButton*>(button))
                ->click();
        });
        dialogs.showMessage(nullptr, Message{kind, "text", "details", folder});
        QCOMPARE(shownIcon, icon);
        QCOMPARE(urls, opened);
    }
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
