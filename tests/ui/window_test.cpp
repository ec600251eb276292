// The main window driven through its widgets (clicks, keys, drops), with recording dialogs and
// either a scripted codec or the real one over files in a scratch directory.
#include <QAbstractItemView>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>

#include "vellicor/main_window.h"
#include "vellicor/window_arguments.h"

using namespace vellicor;

namespace {

// Records every message (text and informative text), question and typed name handed to the
// file-open dialog; answers with `replace` and `opened`.
struct RecordingDialogs final : Dialogs {
    void showMessage(QWidget*, const QString& text, const QString& details) override {
        messages << text;
        informative << details;
    }
    bool askReplace(QWidget*, const QString& path) override {
        asked << path;
        return replace;
    }
    QString showOpen(QWidget*, const QString& typed) override {
        typedNames << typed;
        return opened;
    }
    QStringList messages, informative, asked, typedNames;
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

// A shown, active window with recording dialogs and the given codec (the real one by default).
struct Session {
    explicit Session(FileOperations* codec = nullptr)
        : window(dialogs, codec ? *codec : fileLayerOperations()) {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
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

const char* const kCompressionError = "An error has occured during compression";
const char* const kDecompressionError = "An error has occured during (de)compression";
const char* const kInputs[] = {"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality"};

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
        for (const char* name : {"cmdFile", "cmdComp", "cmdDecomp"}) {
            auto* button = s.get<QPushButton>(name);
            QStyleOptionButton option;
            option.initFrom(button);
            const QSize room = button->style()
                                   ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                                   .size();
            const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
            QVERIFY2(room.expandedTo(text) == room, name);
        }
        for (const char* name : kInputs) {
            QVERIFY2(s.window.rect().contains(s.get(name)->geometry()), name);
            QVERIFY2(s.get(name)->height() >= s.get(name)->sizeHint().height(), name);
        }
        // Assistive technology finds a name (not "..."), a description and a tooltip everywhere,
        // and the progress shapes as progress bars with their value.
        QList<QWidget*> controls =
            s.window.findChildren<QWidget*>(QRegularExpression("^(txt|cmd|cbo|shp)"));
        for (QWidget* control : controls << s.get<QComboBox>("cboQuality")->lineEdit()) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && name != "..." && !control->toolTip().isEmpty() &&
                         !accessible->text(QAccessible::Description).isEmpty(),
                     qPrintable(control->objectName()));
        }
        ShapeProgress progress(*s.get<RectangleShape>("shpback"), *s.get<RectangleShape>("shpptr"));
        progress.setBarWidth(progress.trackWidth() * 3 / 4);
        for (const char* shape : {"shpback", "shpptr"}) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(s.get(shape));
            QCOMPARE(accessible->role(), QAccessible::ProgressBar);
            QVERIFY(std::abs(accessible->valueInterface()->currentValue().toInt() - 75) <= 1);
        }
        QComboBox* quality = s.get<QComboBox>("cboQuality");
        QLineEdit* edit = quality->lineEdit();
        for (int index = 0; index < quality->count(); ++index) {
            quality->setCurrentIndex(
                index);  // reads from its start, even with the cursor at its end
            edit->end(false);
            QCOMPARE(edit->cursorPositionAt(QPoint(2, edit->height() / 2)), 0);
        }
        quality->showPopup();
        QVERIFY(quality->view()->viewport()->width() >= quality->view()->sizeHintForColumn(0));
        quality->hidePopup();
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
    };
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
        QCOMPARE(codec.calls.size(), name == "/abc" ? 0 : 1);
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
    QCOMPARE(s.dialogs.informative.mid(1, 2),
             QStringList(
                 {"Wrote 14 bytes to\n" + source + ".lzc\nfrom the 17 bytes of\n" + source,
                  "Wrote 17 bytes to\n" + source + "\nfrom the 14 bytes of\n" + source + ".lzc"}));
}

void WindowTest::fileDialogStartsInTheTypedFolder() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("one") && QDir(dir.path()).mkpath("two"));
    const std::pair<QString, QString> cases[] = {
        {"one/new.txt", "one"}, {"two", "two"}, {"three/a.txt", "one"} /* the last choice's */};
    for (const auto& [typed, folder] : cases) {
        const auto dialog =
            QtDialogs::makeFileDialog(nullptr, dir.filePath("one/b.txt"), dir.filePath(typed));
        QCOMPARE(dialog->directory().absolutePath(), dir.filePath(folder));
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

QTEST_MAIN(WindowTest)
#include "window_test.moc"
