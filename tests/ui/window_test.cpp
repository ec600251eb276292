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
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>

#include "vellicor/command_line.h"
#include "vellicor/vellicor.h"

using namespace vellicor;

namespace {

// Records every message (text, then informative text) and every question; answers the
// questions and the file-open dialog from scripts, keeping the name chosen last like the real
// one.
struct RecordingDialogs final : Dialogs {
    void showMessage(QWidget*, const QString& text, const QString& details) override {
        messages.append(text);
        informative.append(details);
    }
    bool askReplace(QWidget*, const QString& path) override {
        asked.append(path);
        return replace;
    }
    QString showOpen(QWidget*, const QString& typed) override {
        typedNames.append(typed);
        held = answers.takeFirst().value_or(held);
        return held;
    }
    QStringList messages, informative, asked, typedNames;
    bool replace = false;
    QList<std::optional<QString>> answers;
    QString held;
};

// Records the operation, names and window that reach the codec; answers with `outcome`.
struct ScriptedCodec final : CodecCalls {
    lzc::Outcome compress(const std::string& source, const std::string& destination,
                          lzc::ProgressPair&, std::int32_t, std::int32_t window,
                          const lzc::ConfirmReplace&) override {
        calls.append({"compress", source.c_str(), destination.c_str(), QString::number(window)});
        return outcome;
    }
    lzc::Outcome decompress(const std::string& source, const std::string& destination,
                            lzc::ProgressPair&, std::int32_t, const lzc::ConfirmReplace&) override {
        calls.append({"decompress", source.c_str(), destination.c_str()});
        return outcome;
    }
    QList<QStringList> calls;
    lzc::Outcome outcome;
};

// A shown, active window with recording dialogs and the given codec (the real one by default).
struct Session {
    Session() : window(dialogs) { show(); }
    explicit Session(CodecCalls& codec) : window(dialogs, codec) { show(); }
    void show() {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    template <class Control = QWidget>
    Control* get(const char* name) {
        auto* found = window.findChild<Control*>(QLatin1String(name));
        return found != nullptr ? found : (qFatal("no control named %s", name), nullptr);
    }
    void press(const char* button, const QString& fileName) {
        get<QLineEdit>("txtFile")->setText(fileName);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
    }
    RecordingDialogs dialogs;
    Vellicor window;
};

// Runs a function on every resize of a widget.
struct ResizeHook final : QObject {
    ResizeHook(QWidget& widget, std::function<void()> hook) : onResize(std::move(hook)) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            onResize();
        }
        return false;
    }
    std::function<void()> onResize;
};

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray readFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Words from a small vocabulary: plenty of repeats for the codec to find.
QByteArray sampleText(int size) {
    const QList<QByteArray> words{"lorem ", "ipsum ", "dolor\n", "sit ", "amet ", "tempor "};
    QByteArray text;
    for (std::uint32_t state = 1; text.size() < size;) {
        state = state * 1103515245U + 12345U;
        text += words.at(static_cast<int>((state >> 16) % 6));
    }
    return text.left(size);
}

const char* const kInputs[] = {"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality"};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void freshStartFollowsTheTwipsAtTheScreensDpi();
    void noCaptionOrItemIsClipped_data();
    void noCaptionOrItemIsClipped();
    void qualityChoosesTheWindow_data();
    void qualityChoosesTheWindow();
    void enterAndMnemonicsPressTheButtons_data();
    void enterAndMnemonicsPressTheButtons();
    void everyControlIsNamedForAssistiveTechnology();
    void everyInputIsInertDuringAnOperation();
    void successSaysWhatWasWritten();
    void failureSaysWhyAndWhere_data();
    void failureSaysWhyAndWhere();
    void replacingAsksFirstUnlessTheBytesAreTheSame();
    void fileDialogStartsInTheTypedFolder_data();
    void fileDialogStartsInTheTypedFolder();
    void commandLineAndDropsNameTheFile();
};

void WindowTest::freshStartFollowsTheTwipsAtTheScreensDpi() {
    const QFont normal = QApplication::font();
    QFont small = normal;
    small.setPointSizeF(5);
    QApplication::setFont(small);  // needs no more room than the twips give
    Session s;
    QApplication::setFont(normal);
    const int dpi = s.window.logicalDpiX();
    QCOMPARE(s.window.size(), twipsRect(QRect(0, 0, 4680, 1440), dpi).size());
    QCOMPARE(s.get("txtFile")->geometry(), twipsRect(QRect(120, 120, 3975, 375), dpi));
    QCOMPARE(s.get("shpptr")->geometry(), twipsRect(QRect(120, 1080, 0, 255), dpi));
    QCOMPARE(s.window.windowTitle(), QString("Vellicor v1.0"));
    QCOMPARE(s.get<QComboBox>("cboQuality")->currentText(), QString("Optimal"));
    QVERIFY(s.get<QLineEdit>("txtFile")->text().isEmpty());
}

void WindowTest::noCaptionOrItemIsClipped_data() {
    QTest::addColumn<qreal>("points");
    for (const qreal points : {9.0, 14.0, 20.0, 28.0}) {
        QTest::addRow("%gpt", points) << points;
    }
}

void WindowTest::noCaptionOrItemIsClipped() {
    QFETCH(qreal, points);
    const QFont normal = QApplication::font();
    QFont big = normal;
    big.setPointSizeF(points);
    QApplication::setFont(big);
    Session s;
    QApplication::setFont(normal);
    for (const char* name : {"cmdFile", "cmdComp", "cmdDecomp"}) {
        auto* button = s.get<QPushButton>(name);
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        QVERIFY2(contents.width() >= text.width() && contents.height() >= text.height(), name);
    }
    for (const char* name : kInputs) {  // inside the window, at least as high as they ask
        QVERIFY2(s.window.rect().contains(s.get(name)->geometry()), name);
        QVERIFY2(s.get(name)->height() >= s.get(name)->sizeHint().height(), name);
    }
    QVERIFY(!s.get("shpback")->geometry().intersects(s.get("cmdComp")->geometry()));
    QComboBox* quality = s.get<QComboBox>("cboQuality");
    QLineEdit* edit = quality->lineEdit();
    for (int index = 0; index < quality->count(); ++index) {
        quality->setCurrentIndex(index);
        QCOMPARE(edit->cursorPositionAt(QPoint(2, edit->height() / 2)), 0);  // reads from start
        edit->end(false);  // and its end shows without scrolling the start away
        QCOMPARE(edit->cursorPositionAt(QPoint(2, edit->height() / 2)), 0);
    }
    quality->showPopup();
    QVERIFY(quality->view()->viewport()->width() >= quality->view()->sizeHintForColumn(0));
    quality->hidePopup();
}

void WindowTest::qualityChoosesTheWindow_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("window");
    QTest::newRow("Below average")
        << "Below average" << QStringList{"Compressed Size: 45.6%"} << "4092";
    QTest::newRow("typed text") << "Best" << QStringList{"-1", "Compressed Size: 45.6%"} << "1024";
}

void WindowTest::qualityChoosesTheWindow() {
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(QString, window);
    ScriptedCodec codec;
    codec.outcome.ratio = 4560;
    Session s(codec);
    QLineEdit* edit = s.get<QComboBox>("cboQuality")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);  // adds nothing to the list
    QCOMPARE(s.get<QComboBox>("cboQuality")->count(), 6);
    s.press("cmdComp", "/data/report.doc");
    QCOMPARE(codec.calls, QList<QStringList>{QStringList(
                              {"compress", "/data/report.doc", "/data/report.doc.lzc", window})});
    QCOMPARE(s.dialogs.messages, messages);
    QCOMPARE(s.window.lastCompressResult(), 4560);
}

void WindowTest::enterAndMnemonicsPressTheButtons_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("Enter") << "cmdComp" << int(Qt::Key_Enter) << "compress";
    QTest::newRow("Return") << "cmdDecomp" << int(Qt::Key_Return) << "decompress";
    QTest::newRow("Alt+C") << "txtFile" << (Qt::ALT | Qt::Key_C).toCombined() << "compress";
    QTest::newRow("Alt+D") << "cboQuality" << (Qt::ALT | Qt::Key_D).toCombined() << "decompress";
    QTest::newRow("Alt+B") << "txtFile" << (Qt::ALT | Qt::Key_B).toCombined() << "open";
}

void WindowTest::enterAndMnemonicsPressTheButtons() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, pressed);
    ScriptedCodec codec;
    Session s(codec);
    s.dialogs.answers = {std::nullopt};
    s.get<QLineEdit>("txtFile")->setText("/data/report.doc.lzc");
    s.get(focus.toLatin1().constData())->setFocus();
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    QTest::keyClick(QApplication::focusWidget(), combination.key(),
                    combination.keyboardModifiers());
    const auto done = [&] {  // a mnemonic clicks its button after a short flash
        QStringList operations(s.dialogs.typedNames.size(), "open");
        for (const QStringList& call : codec.calls) {
            operations << call.constFirst();
        }
        return operations;
    };
    QTRY_COMPARE(done(), QStringList{pressed});
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), pressed == "open" ? "" : "/data/report.doc.lzc");
}

void WindowTest::everyControlIsNamedForAssistiveTechnology() {
    Session s;
    QList<QWidget*> controls{s.get<QComboBox>("cboQuality")->lineEdit(), s.get("shpback"),
                             s.get("shpptr")};
    for (const char* name : kInputs) {
        controls << s.get(name);
    }
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty() && name != "..." && !control->toolTip().isEmpty(),
                 qPrintable(control->objectName()));
        QVERIFY(!accessible->text(QAccessible::Description).isEmpty());
    }
    ShapeProgress progress(*s.get<RectangleShape>("shpback"), *s.get<RectangleShape>("shpptr"));
    progress.setBarWidth(progress.trackWidth() * 3 / 4);
    for (const char* shape : {"shpback", "shpptr"}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(s.get(shape));
        QCOMPARE(accessible->role(), QAccessible::ProgressBar);
        QVERIFY(accessible->valueInterface() != nullptr);
        QVERIFY(std::abs(accessible->valueInterface()->currentValue().toInt() - 75) <= 1);
    }
}

void WindowTest::everyInputIsInertDuringAnOperation() {
    QTemporaryDir dir;
    writeFile(dir.filePath("data.txt"), sampleText(8000));
    Session s;
    s.get<QLineEdit>("txtFile")->setText(dir.filePath("data.txt"));
    // Every bar update happens inside the operation: there no input may take keys or clicks.
    int updates = 0;
    int enabledInside = 0;
    ResizeHook hook(*s.get("shpptr"), [&] {
        ++updates;
        for (const char* name : kInputs) {
            enabledInside += s.get(name)->isEnabled() ? 1 : 0;
        }
        QTest::keyClicks(s.get("txtFile"), "x");
    });
    s.get("cmdComp")->setFocus();
    QTest::keyClick(s.get("cmdComp"), Qt::Key_Space);
    QVERIFY(updates > 1);
    QCOMPARE(enabledInside, 0);
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), dir.filePath("data.txt"));
    QCOMPARE(QApplication::focusWidget(), s.get("cmdComp"));
    for (const char* name : kInputs) {
        QVERIFY(s.get(name)->isEnabled());
    }
}

void WindowTest::successSaysWhatWasWritten() {
    QTemporaryDir dir;
    const QString source = dir.filePath("data.txt");
    writeFile(source, "ABCDABCDABCDABCDX");
    Session s;
    s.press("cmdComp", source);
    QCOMPARE(readFile(source + ".lzc"), QByteArray::fromHex("800441424344410001000C800158"));
    // The last update stands one past the end: 18 / 17 of the track.
    const double dpi = s.window.logicalDpiX();
    const double track = s.get("shpback")->width() * 1440 / dpi;
    QCOMPARE(s.get("shpptr")->width(), twipsToPixels(std::floor(track * 18 / 17), dpi));
    QVERIFY(QFile::remove(source));
    s.press("cmdDecomp", source + ".lzc");
    QCOMPARE(readFile(source), QByteArray("ABCDABCDABCDABCDX"));
    QCOMPARE(s.dialogs.messages,
             QStringList({"Compressed Size: 83.33%", "Successfully decompressed"}));
    QCOMPARE(s.dialogs.informative,
             QStringList(
                 {"Wrote 14 bytes to\n" + source + ".lzc\nfrom the 17 bytes of\n" + source,
                  "Wrote 17 bytes to\n" + source + "\nfrom the 14 bytes of\n" + source + ".lzc"}));
}

void WindowTest::failureSaysWhyAndWhere_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("details");
    const auto row = [](const char* tag, const char* button, const char* name, lzc::Status status,
                        int error, const char* details) {
        QTest::newRow(tag) << button << name << int(status) << error << details;
    };
    using enum lzc::Status;
    row("missing", "cmdComp", "/d/a", sourceMissing, 0, "The file does not exist.\n/d/a");
    row("not regular", "cmdComp", "/d", sourceNotRegular, 0, "This is not a regular file.\n/d");
    row("empty", "cmdComp", "/d/a", emptyInput, 0, "The file is empty.\n/d/a");
    row("too large", "cmdComp", "/d/a", sourceTooLarge, 0,
        "The file is larger than 32767 bytes.\n/d/a");
    row("invalid", "cmdDecomp", "/d/a.lzc", invalidStream, 0,
        "This is not a valid .lzc stream.\n/d/a.lzc");
    row("unreadable", "cmdDecomp", "/d/a.lzc", readFailed, EACCES,
        "Permission denied: the file cannot be read.\n/d/a.lzc");
    row("read-only folder", "cmdComp", "/d/a", writeFailed, EACCES,
        "Permission denied: the file cannot be written.\n/d/a.lzc");
    row("disk full", "cmdDecomp", "/d/a.lzc", writeFailed, ENOSPC, "The disk is full.\n/d/a");
    row("no name left", "cmdDecomp", "/abc", ok, 0,
        "No file name is left once the last four characters are removed.\n/abc");
}

void WindowTest::failureSaysWhyAndWhere() {
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(int, status);
    QFETCH(int, error);
    QFETCH(QString, details);
    ScriptedCodec codec;
    codec.outcome = {static_cast<lzc::Status>(status), error, 0};
    Session s(codec);
    s.press(button.toLatin1().constData(), name);
    QCOMPARE(s.dialogs.messages,
             QStringList(button == "cmdComp" ? "An error has occured during compression"
                                             : "An error has occured during (de)compression"));
    QCOMPARE(s.dialogs.informative, QStringList{details});
    QCOMPARE(codec.calls.size(), name == "/abc" ? 0 : 1);
}

void WindowTest::replacingAsksFirstUnlessTheBytesAreTheSame() {
    QTemporaryDir dir;
    const QString source = dir.filePath("notes.txt");
    writeFile(source, "first draft, first draft");
    Session s;
    s.press("cmdComp", source);
    s.press("cmdComp", source);  // the same bytes again: nothing to ask
    QCOMPARE(s.dialogs.messages.size(), 2);
    writeFile(source, "edited");
    s.press("cmdDecomp", source + ".lzc");  // No: the edit stays, and nothing more is said
    QCOMPARE(s.dialogs.asked, QStringList{source});
    QCOMPARE(readFile(source), QByteArray("edited"));
    QCOMPARE(s.dialogs.messages.size(), 2);
    s.dialogs.replace = true;
    s.press("cmdDecomp", source + ".lzc");
    s.press("cmdDecomp", source + ".lzc");  // restored already: nothing to ask
    QCOMPARE(readFile(source), QByteArray("first draft, first draft"));
    QCOMPARE(s.dialogs.asked, QStringList({source, source}));
    QCOMPARE(s.dialogs.messages.mid(2), QStringList(2, "Successfully decompressed"));
}

void WindowTest::fileDialogStartsInTheTypedFolder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder");
    QTest::newRow("file") << "one/a.txt"
                          << "one";
    QTest::newRow("new file") << "one/new.txt"
                              << "one";
    QTest::newRow("folder") << "two"
                            << "two";
    QTest::newRow("missing folder") << "three/a.txt"
                                    << "two";  // where the last choice was
}

void WindowTest::fileDialogStartsInTheTypedFolder() {
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("one") && QDir(dir.path()).mkpath("two"));
    writeFile(dir.filePath("one/a.txt"), "a");
    writeFile(dir.filePath("two/b.txt"), "b");
    const auto dialog =
        QtDialogs::makeFileDialog(nullptr, dir.filePath("two/b.txt"), dir.filePath(typed));
    QCOMPARE(dialog->directory().absolutePath(), dir.filePath(folder));

    Session s;  // the window hands the dialog what is typed; a cancel keeps the last choice
    s.dialogs.answers = {std::nullopt, "/data/chosen.txt", std::nullopt};
    for (const QString& name : {typed, QString(), typed}) {
        s.press("cmdFile", name);
    }
    QCOMPARE(s.dialogs.typedNames, QStringList({typed, "", typed}));
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/chosen.txt"));
}

void WindowTest::commandLineAndDropsNameTheFile() {
    using Action = CommandLine::Action;
    const QString here = QDir::currentPath();
    QCOMPARE(parseCommandLine({"vellicor"}).file, QString());
    QCOMPARE(parseCommandLine({"vellicor", "a b.lzc"}).file, here + "/a b.lzc");
    QCOMPARE(parseCommandLine({"vellicor", "--", "-x"}).file, here + "/-x");
    QCOMPARE(parseCommandLine({"vellicor", "/d/a.lzc"}).action, Action::showWindow);
    QCOMPARE(parseCommandLine({"vellicor", "a", "b"}).action, Action::refuse);
    QCOMPARE(parseCommandLine({"vellicor", "--nope"}).action, Action::refuse);
    QCOMPARE(parseCommandLine({"vellicor", "--help"}).action, Action::printHelp);

    Session s;
    auto drop = [&](const QUrl& url) {
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(QPoint(50, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &enter);
        QDropEvent dropped(QPointF(50, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &dropped);
    };
    s.window.setFileName("/data/old.txt");
    drop(QUrl("https://example.org/page.html"));
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/old.txt"));
    drop(QUrl::fromLocalFile("/data/new file.txt"));
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/new file.txt"));
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
