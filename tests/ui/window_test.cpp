// The main window driven through its widgets: clicks, typing and drops, with recording dialogs
// and either a recording codec or the real one over files in a scratch directory.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>

#include "lzc/lzcodec.h"
#include "vellicor/vellicor.h"
#include "window_test_support.h"

using namespace vellicor;
using namespace vellicor::test;

namespace {

// A window on the screen with recording dialogs and, unless a codec is given, the real codec.
struct Session {
    Session() : window(dialogs) {}
    explicit Session(CodecCalls& codec) : window(dialogs, codec) {}
    RecordingDialogs dialogs;
    Vellicor window;
};

// Runs a function on every resize of a widget.
class ResizeHook final : public QObject {
public:
    ResizeHook(QWidget& widget, std::function<void()> onResize) : onResize_(std::move(onResize)) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            onResize_();
        }
        return false;
    }

private:
    std::function<void()> onResize_;
};

// Makes the current directory a scratch directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& path) : previous_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~CurrentDirectory() { QDir::setCurrent(previous_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    QString previous_;
};

void setFileName(Vellicor& window, const QString& name) {
    control<QLineEdit>(window, "txtFile")->setText(name);
}

void click(Vellicor& window, const char* button) {
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void freshStart();
    void controlsSitWhereTheTwipsTableSays_data();
    void controlsSitWhereTheTwipsTableSays();
    void tabOrderFollowsTheControls();
    void everyQualityLevelReachesCompress_data();
    void everyQualityLevelReachesCompress();
    void typedQualityTextReportsMinusOneAndUsesTheSmallestWindow();
    void enterAddsNoQualityItem();
    void seventeenByteExampleShowsItsRatio();
    void missingFileLeavesNoCompressedFile();
    void oversizedFileLeavesNoCompressedFile();
    void decompressStripsTheLastFourCharacters();
    void fourCharacterAndShorterNamesFailAndTouchNoFile_data();
    void fourCharacterAndShorterNamesFailAndTouchNoFile();
    void namesShorterThanFourNeverReachTheCodec();
    void fileDialogSetsTheName();
    void cancelBeforeAnyChoiceEmptiesTheName();
    void compressThenDecompressRestoresTheSource();
    void controlsAreDisabledWhileAnOperationRuns();
    void droppedFileNamesTheFile();
    void messageBoxAndFileDialogSettings();
};

void WindowTest::freshStart() {
    Session session;
    Vellicor& window = session.window;
    QCOMPARE(window.windowTitle(), QString("Vellicor v1.0"));
    QCOMPARE(control<QWidget>(window, "shpptr")->width(), 0);
    QComboBox* quality = control<QComboBox>(window, "cboQuality");
    QCOMPARE(quality->currentIndex(), 0);
    QCOMPARE(quality->currentText(), QString("Optimal"));
    QVERIFY(quality->isEditable());
    QStringList items;
    for (int index = 0; index < quality->count(); ++index) {
        items << quality->itemText(index);
    }
    QCOMPARE(items,
             QStringList({"Optimal", "Good", "Moderate", "Below average", "Poor", "Very Poor!"}));
    QVERIFY(control<QLineEdit>(window, "txtFile")->text().isEmpty());
    QCOMPARE(control<QPushButton>(window, "cmdFile")->text(), QString("..."));
    QCOMPARE(control<QPushButton>(window, "cmdComp")->text(), QString("compress"));
    QCOMPARE(control<QPushButton>(window, "cmdDecomp")->text(), QString("decompress"));
    QVERIFY(session.dialogs.messages.isEmpty());
}

void WindowTest::controlsSitWhereTheTwipsTableSays_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Twips divided by 15.
    QTest::newRow("txtFile") << "txtFile" << QRect(8, 8, 265, 25);
    QTest::newRow("cmdFile") << "cmdFile" << QRect(280, 8, 25, 25);
    QTest::newRow("cmdComp") << "cmdComp" << QRect(8, 40, 105, 25);
    QTest::newRow("cmdDecomp") << "cmdDecomp" << QRect(120, 40, 97, 25);
    QTest::newRow("cboQuality") << "cboQuality" << QRect(224, 40, 81, 21);
    QTest::newRow("shpback") << "shpback" << QRect(8, 72, 297, 17);
    QTest::newRow("shpptr") << "shpptr" << QRect(8, 72, 0, 17);
}

void WindowTest::controlsSitWhereTheTwipsTableSays() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));
    QCOMPARE(session.window.size(), QSize(312, 96));
    QCOMPARE(control<QWidget>(session.window, qPrintable(name))->geometry(), pixels);
}

void WindowTest::tabOrderFollowsTheControls() {
    Session session;
    QStringList order;
    QWidget* widget = control<QWidget>(session.window, "txtFile");
    for (int step = 0; step < 5; ++step) {
        order << widget->objectName();
        do {
            widget = widget->nextInFocusChain();
        } while ((widget->focusPolicy() & Qt::TabFocus) == 0 || widget->objectName().isEmpty());
    }
    QCOMPARE(order, QStringList({"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality"}));
    QCOMPARE(widget->objectName(), QString("txtFile"));
}

void WindowTest::everyQualityLevelReachesCompress_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("window");
    QTest::newRow("Optimal") << 0 << 32767;
    QTest::newRow("Good") << 1 << 16383;
    QTest::newRow("Moderate") << 2 << 8191;
    QTest::newRow("Below average") << 3 << 4092;
    QTest::newRow("Poor") << 4 << 2048;
    QTest::newRow("Very Poor!") << 5 << 1024;
}

void WindowTest::everyQualityLevelReachesCompress() {
    QFETCH(int, index);
    QFETCH(int, window);
    RecordingCodec codec;
    codec.compressResult = 4560;
    Session session(codec);
    control<QComboBox>(session.window, "cboQuality")->setCurrentIndex(index);
    setFileName(session.window, "/data/report.doc");
    click(session.window, "cmdComp");

    QCOMPARE(codec.compressCalls.size(), 1);
    const RecordingCodec::Call& call = codec.compressCalls.constFirst();
    QCOMPARE(call.window, window);
    QCOMPARE(call.interval, 128);
    QCOMPARE(call.source, std::string("/data/report.doc"));
    QCOMPARE(call.destination, std::string("/data/report.doc.lzc"));
    QCOMPARE(session.dialogs.messages, QStringList{"Compressed Size: 45.6%"});
    QCOMPARE(session.window.lastCompressResult(), 4560);
}

void WindowTest::typedQualityTextReportsMinusOneAndUsesTheSmallestWindow() {
    RecordingCodec codec;
    codec.compressResult = -1;
    Session session(codec);
    QComboBox* quality = control<QComboBox>(session.window, "cboQuality");
    QTest::keyClick(quality->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(quality->lineEdit(), "Best");
    QCOMPARE(quality->currentText(), QString("Best"));
    // Qt keeps the old index while the text is edited; the window must not.
    QCOMPARE(quality->currentIndex(), 0);
    click(session.window, "cmdComp");

    QCOMPARE(session.dialogs.messages,
             QStringList({"-1", "An error has occured during compression"}));
    QCOMPARE(codec.compressCalls.size(), 1);
    QCOMPARE(codec.compressCalls.constFirst().window, 1024);
    QCOMPARE(session.window.lastCompressResult(), -1);

    // Typing the item's own text back selects it again.
    QTest::keyClick(quality->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(quality->lineEdit(), "Optimal");
    click(session.window, "cmdComp");
    QCOMPARE(codec.compressCalls.size(), 2);
    QCOMPARE(codec.compressCalls.constLast().window, 32767);
    QCOMPARE(session.dialogs.messages.size(), 3);
}

void WindowTest::enterAddsNoQualityItem() {
    RecordingCodec codec;
    Session session(codec);
    QComboBox* quality = control<QComboBox>(session.window, "cboQuality");
    QTest::keyClick(quality->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(quality->lineEdit(), "Best");
    QTest::keyClick(quality->lineEdit(), Qt::Key_Return);
    QCOMPARE(quality->count(), 6);
    click(session.window, "cmdComp");
    QCOMPARE(session.dialogs.messages.constFirst(), QString("-1"));
    QCOMPARE(codec.compressCalls.constFirst().window, 1024);
}

void WindowTest::seventeenByteExampleShowsItsRatio() {
    QTemporaryDir dir;
    const QString source = dir.filePath("data.txt");
    writeFile(source, "ABCDABCDABCDABCDX");
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));
    setFileName(session.window, source);
    click(session.window, "cmdComp");

    QCOMPARE(session.dialogs.messages, QStringList{"Compressed Size: 83.33%"});
    QCOMPARE(session.window.lastCompressResult(), 8333);
    QCOMPARE(readFile(source + ".lzc"), QByteArray::fromHex("800441424344410001000C800158"));
    // The last update puts the position one past the end: 4455 * 18 / 17 = 4717 twips.
    QCOMPARE(control<QWidget>(session.window, "shpptr")->width(), 4717 / 15);
}

void WindowTest::missingFileLeavesNoCompressedFile() {
    QTemporaryDir dir;
    Session session;
    setFileName(session.window, dir.filePath("missing.txt"));
    click(session.window, "cmdComp");
    QCOMPARE(session.dialogs.messages, QStringList{"An error has occured during compression"});
    QCOMPARE(session.window.lastCompressResult(), -1);
    QCOMPARE(listDirectory(dir.path()), QStringList());

    // No name at all is a missing file too.
    setFileName(session.window, "");
    click(session.window, "cmdComp");
    QCOMPARE(session.dialogs.messages.size(), 2);
    QCOMPARE(session.dialogs.messages.constLast(),
             QString("An error has occured during compression"));
}

void WindowTest::oversizedFileLeavesNoCompressedFile() {
    QTemporaryDir dir;
    const QString source = dir.filePath("big.bin");
    writeFile(source, sampleText(32768));
    Session session;
    setFileName(session.window, source);
    click(session.window, "cmdComp");
    QCOMPARE(session.dialogs.messages, QStringList{"An error has occured during compression"});
    QCOMPARE(listDirectory(dir.path()), QStringList{"big.bin"});
}

void WindowTest::decompressStripsTheLastFourCharacters() {
    RecordingCodec codec;
    Session session(codec);
    setFileName(session.window, "/data/report.doc.lzc");
    click(session.window, "cmdDecomp");
    setFileName(session.window, "/data/archive.bin");
    codec.decompressResult = -1;
    click(session.window, "cmdDecomp");

    QCOMPARE(codec.decompressCalls.size(), 2);
    QCOMPARE(codec.decompressCalls.at(0).source, std::string("/data/report.doc.lzc"));
    QCOMPARE(codec.decompressCalls.at(0).destination, std::string("/data/report.doc"));
    QCOMPARE(codec.decompressCalls.at(0).interval, 128);
    QCOMPARE(codec.decompressCalls.at(1).destination, std::string("/data/archive"));
    QCOMPARE(
        session.dialogs.messages,
        QStringList({"Successfully decompressed", "An error has occured during (de)compression"}));
    QVERIFY(codec.compressCalls.isEmpty());
}

void WindowTest::fourCharacterAndShorterNamesFailAndTouchNoFile_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("four") << "abcd";
    QTest::newRow("three") << "abc";
    QTest::newRow("one") << "a";
    QTest::newRow("empty") << "";
}

void WindowTest::fourCharacterAndShorterNamesFailAndTouchNoFile() {
    QFETCH(QString, name);
    QTemporaryDir dir;
    CurrentDirectory inside(dir.path());
    // A sound compressed file under the short name (and under "abcd", which "abcd.lzc" would
    // restore to): only the name can make the decompression fail.
    lzc::NoProgress progress;
    writeFile("source", "hello hello hello hello");
    QVERIFY(lzc::Compress("source", "stream", progress, 128, lzc::kWindowOptimal) >= 0);
    const QByteArray stream = readFile("stream");
    if (!name.isEmpty()) {
        writeFile(name, stream);
    }
    const QStringList before = listDirectory(".");

    Session session;
    setFileName(session.window, name);
    click(session.window, "cmdDecomp");
    QCOMPARE(session.dialogs.messages, QStringList{"An error has occured during (de)compression"});
    QCOMPARE(listDirectory("."), before);
    if (!name.isEmpty()) {
        QCOMPARE(readFile(name), stream);
    }
}

void WindowTest::namesShorterThanFourNeverReachTheCodec() {
    RecordingCodec codec;
    Session session(codec);
    for (const char* name : {"abc", "ab", "a", ""}) {
        setFileName(session.window, name);
        click(session.window, "cmdDecomp");
    }
    QVERIFY(codec.decompressCalls.isEmpty());
    QCOMPARE(session.dialogs.messages.size(), 4);
    QCOMPARE(session.dialogs.messages.constLast(),
             QString("An error has occured during (de)compression"));

    // Four characters leave an empty destination name, which the codec then refuses.
    setFileName(session.window, "abcd");
    codec.decompressResult = -1;
    click(session.window, "cmdDecomp");
    QCOMPARE(codec.decompressCalls.size(), 1);
    QCOMPARE(codec.decompressCalls.constFirst().destination, std::string());
}

void WindowTest::fileDialogSetsTheName() {
    Session session;
    session.dialogs.answers = {QString("/data/chosen.txt"), std::nullopt};
    click(session.window, "cmdFile");
    QCOMPARE(control<QLineEdit>(session.window, "txtFile")->text(), QString("/data/chosen.txt"));
    // A later cancel puts back the name the dialog still holds, over whatever was typed.
    setFileName(session.window, "/data/typed.txt");
    click(session.window, "cmdFile");
    QCOMPARE(control<QLineEdit>(session.window, "txtFile")->text(), QString("/data/chosen.txt"));
    QCOMPARE(session.dialogs.openCount, 2);
    QVERIFY(session.dialogs.messages.isEmpty());
}

void WindowTest::cancelBeforeAnyChoiceEmptiesTheName() {
    Session session;
    session.dialogs.answers = {std::nullopt};
    setFileName(session.window, "/data/typed.txt");
    click(session.window, "cmdFile");
    QCOMPARE(session.dialogs.openCount, 1);
    QVERIFY(control<QLineEdit>(session.window, "txtFile")->text().isEmpty());
}

void WindowTest::compressThenDecompressRestoresTheSource() {
    QTemporaryDir dir;
    const QString source = dir.filePath("report.doc");
    const QByteArray original = sampleText(6000);
    writeFile(source, original);
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));

    setFileName(session.window, source);
    click(session.window, "cmdComp");
    QVERIFY(session.window.lastCompressResult() > 0);
    QVERIFY(session.window.lastCompressResult() < 10000);
    QVERIFY(QFile::remove(source));

    setFileName(session.window, source + ".lzc");
    click(session.window, "cmdDecomp");
    QCOMPARE(session.dialogs.messages.size(), 2);
    QVERIFY(session.dialogs.messages.at(0).startsWith("Compressed Size: "));
    QCOMPARE(session.dialogs.messages.at(1), QString("Successfully decompressed"));
    QCOMPARE(readFile(source), original);
    QCOMPARE(listDirectory(dir.path()), QStringList({"report.doc", "report.doc.lzc"}));
}

void WindowTest::controlsAreDisabledWhileAnOperationRuns() {
    QTemporaryDir dir;
    const QString source = dir.filePath("data.txt");
    writeFile(source, sampleText(8000));
    Session session;
    Vellicor& window = session.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<QWidget*> locked = {
        control<QWidget>(window, "cmdFile"), control<QWidget>(window, "cmdComp"),
        control<QWidget>(window, "cmdDecomp"), control<QWidget>(window, "cboQuality")};
    auto anyEnabled = [&] {
        return std::any_of(locked.begin(), locked.end(), [](QWidget* w) { return w->isEnabled(); });
    };

    // Each bar update happens inside the operation: the controls must be disabled there, a
    // click must do nothing, and events posted then must be handled before the operation ends.
    int updates = 0;
    int updatesWithControlsEnabled = 0;
    int handledDuringOperation = 0;
    ResizeHook hook(*control<QWidget>(window, "shpptr"), [&] {
        ++updates;
        if (anyEnabled()) {
            ++updatesWithControlsEnabled;
        }
        control<QPushButton>(window, "cmdComp")->click();
        control<QPushButton>(window, "cmdDecomp")->click();
        QMetaObject::invokeMethod(
            &window,
            [&] {
                if (!anyEnabled()) {
                    ++handledDuringOperation;
                }
            },
            Qt::QueuedConnection);
    });

    setFileName(window, source);
    control<QPushButton>(window, "cmdComp")->click();
    QVERIFY(updates > 1);
    QCOMPARE(updatesWithControlsEnabled, 0);
    QCOMPARE(handledDuringOperation, updates);
    QCOMPARE(session.dialogs.messages.size(), 1);
    QVERIFY(session.dialogs.messages.constFirst().startsWith("Compressed Size: "));
    for (QWidget* widget : locked) {
        QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
    }

    updates = 0;
    handledDuringOperation = 0;
    QVERIFY(QFile::remove(source));
    setFileName(window, source + ".lzc");
    control<QPushButton>(window, "cmdDecomp")->click();
    QVERIFY(updates > 1);
    QCOMPARE(updatesWithControlsEnabled, 0);
    QCOMPARE(handledDuringOperation, updates);
    QCOMPARE(session.dialogs.messages.size(), 2);
    QCOMPARE(session.dialogs.messages.constLast(), QString("Successfully decompressed"));
    for (QWidget* widget : locked) {
        QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
    }
    QCOMPARE(readFile(source), sampleText(8000));
}

void WindowTest::droppedFileNamesTheFile() {
    RecordingCodec codec;
    Session session(codec);
    Vellicor& window = session.window;
    setFileName(window, "/data/old.txt");
    auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QDropEvent dropped(QPointF(50, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };

    QVERIFY(!drop({QUrl("https://example.org/page.html")}));
    QCOMPARE(control<QLineEdit>(window, "txtFile")->text(), QString("/data/old.txt"));

    QVERIFY(drop({QUrl::fromLocalFile("/data/new file.txt")}));
    QCOMPARE(control<QLineEdit>(window, "txtFile")->text(), QString("/data/new file.txt"));
    QCOMPARE(control<QComboBox>(window, "cboQuality")->currentIndex(), 0);
    QVERIFY(session.dialogs.messages.isEmpty());
    QVERIFY(codec.compressCalls.isEmpty() && codec.decompressCalls.isEmpty());
}

void WindowTest::messageBoxAndFileDialogSettings() {
    QWidget parent;
    const auto box = QtDialogs::makeMessageBox(&parent, "Successfully decompressed");
    QCOMPARE(box->windowTitle(), QString("Vellicor"));
    QCOMPARE(box->text(), QString("Successfully decompressed"));
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->buttons().size(), 1);

    const auto dialog = QtDialogs::makeFileDialog(&parent, "");
    QCOMPARE(dialog->objectName(), QString("cdlg"));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
