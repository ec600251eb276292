// The main window driven through its widgets (clicks, typing, drops), with recording dialogs
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
#include <functional>

#include "lzc/lzcodec.h"
#include "vellicor/vellicor.h"

using namespace vellicor;

namespace {

// Records every message; answers the file-open dialog from a script (a name, or nullopt for a
// cancel) and, like the real one, keeps the name chosen last.
struct RecordingDialogs final : Dialogs {
    void showMessage(QWidget*, const QString& text) override { messages.append(text); }
    QString showOpen(QWidget*) override {
        if (const std::optional<QString> answer = answers.takeFirst()) {
            held = *answer;
        }
        return held;
    }
    QStringList messages;
    QList<std::optional<QString>> answers;
    QString held;
};

// Records the names and windows that reach the codec.
struct RecordingCodec final : CodecCalls {
    std::int32_t compress(const std::string& source, const std::string& destination,
                          lzc::ProgressPair&, std::int32_t interval, std::int32_t window) override {
        calls.append(QStringList{"compress", QString::fromStdString(source),
                                 QString::fromStdString(destination), QString::number(interval),
                                 QString::number(window)});
        return result;
    }
    std::int32_t decompress(const std::string& source, const std::string& destination,
                            lzc::ProgressPair&, std::int32_t interval) override {
        calls.append(QStringList{"decompress", QString::fromStdString(source),
                                 QString::fromStdString(destination), QString::number(interval)});
        return result;
    }
    QList<QStringList> calls;
    std::int32_t result = 0;
};

// A shown window with recording dialogs and the given codec (the real one by default).
struct Session {
    Session() : window(dialogs) { show(); }
    explicit Session(CodecCalls& codec) : window(dialogs, codec) { show(); }
    void show() {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    template <class Control = QWidget>
    Control* get(const char* name) {
        auto* found = window.findChild<Control*>(QLatin1String(name));
        if (found == nullptr) {
            qFatal("no control named %s", name);
        }
        return found;
    }
    void press(const char* button, const QString& fileName) {
        get<QLineEdit>("txtFile")->setText(fileName);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
    }
    void typeQuality(const char* text) {
        QLineEdit* edit = get<QComboBox>("cboQuality")->lineEdit();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
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

QStringList listDirectory(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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

const QString kDecompressionError("An error has occured during (de)compression");
const QString kCompressionError("An error has occured during compression");

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void freshStart();
    void everyQualityLevelReachesCompress_data();
    void everyQualityLevelReachesCompress();
    void typedQualityTextReportsMinusOneAndUsesTheSmallestWindow();
    void seventeenByteExampleShowsItsRatio();
    void missingAndOversizedFilesLeaveNoCompressedFile();
    void decompressStripsTheLastFourCharacters();
    void fourCharacterAndShorterNamesFailAndTouchNoFile_data();
    void fourCharacterAndShorterNamesFailAndTouchNoFile();
    void fileDialogSetsTheNameEvenAfterACancel();
    void compressThenDecompressRestoresTheSource();
    void controlsAreDisabledWhileAnOperationRuns();
    void droppedFileNamesTheFile();
    void messageBoxAndFileDialogSettings();
};

void WindowTest::freshStart() {
    Session s;
    QCOMPARE(s.window.windowTitle(), QString("Vellicor v1.0"));
    QCOMPARE(s.window.size(), QSize(312, 96));
    QVERIFY(!s.window.windowIcon().pixmap(QSize(64, 64)).isNull());
    QVERIFY(s.get<QLineEdit>("txtFile")->text().isEmpty());
    QCOMPARE(s.get<QComboBox>("cboQuality")->currentIndex(), 0);
    QCOMPARE(s.get<QComboBox>("cboQuality")->currentText(), QString("Optimal"));
    QCOMPARE(s.get<QPushButton>("cmdFile")->text(), QString("..."));
    QCOMPARE(s.get<QPushButton>("cmdComp")->text(), QString("compress"));
    QCOMPARE(s.get<QPushButton>("cmdDecomp")->text(), QString("decompress"));
    // Geometry in twips / 15; the bar starts at width 0 over the track's left edge.
    QCOMPARE(s.get("txtFile")->geometry(), QRect(8, 8, 265, 25));
    QCOMPARE(s.get("cmdFile")->geometry(), QRect(280, 8, 25, 25));
    QCOMPARE(s.get("cmdComp")->geometry(), QRect(8, 40, 105, 25));
    QCOMPARE(s.get("cmdDecomp")->geometry(), QRect(120, 40, 97, 25));
    QCOMPARE(s.get("cboQuality")->geometry(), QRect(224, 40, 81, 21));
    QCOMPARE(s.get("shpback")->geometry(), QRect(8, 72, 297, 17));
    QCOMPARE(s.get("shpptr")->geometry(), QRect(8, 72, 0, 17));

    QStringList tabOrder;
    for (QWidget* w = s.get("txtFile"); tabOrder.size() < 6; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && !w->objectName().isEmpty()) {
            tabOrder << w->objectName();
        }
    }
    QCOMPARE(tabOrder,
             QStringList({"txtFile", "cmdFile", "cmdComp", "cmdDecomp", "cboQuality", "txtFile"}));
}

void WindowTest::everyQualityLevelReachesCompress_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("window");
    QTest::newRow("Optimal") << 0 << "32767";
    QTest::newRow("Good") << 1 << "16383";
    QTest::newRow("Moderate") << 2 << "8191";
    QTest::newRow("Below average") << 3 << "4092";
    QTest::newRow("Poor") << 4 << "2048";
    QTest::newRow("Very Poor!") << 5 << "1024";
}

void WindowTest::everyQualityLevelReachesCompress() {
    QFETCH(int, index);
    QFETCH(QString, window);
    RecordingCodec codec;
    codec.result = 4560;
    Session s(codec);
    s.get<QComboBox>("cboQuality")->setCurrentIndex(index);
    s.press("cmdComp", "/data/report.doc");
    QCOMPARE(codec.calls, QList<QStringList>{QStringList({"compress", "/data/report.doc",
                                                          "/data/report.doc.lzc", "128", window})});
    QCOMPARE(s.dialogs.messages, QStringList{"Compressed Size: 45.6%"});
    QCOMPARE(s.window.lastCompressResult(), 4560);
}

void WindowTest::typedQualityTextReportsMinusOneAndUsesTheSmallestWindow() {
    RecordingCodec codec;
    codec.result = -1;
    Session s(codec);
    QComboBox* quality = s.get<QComboBox>("cboQuality");
    s.typeQuality("Best");
    QTest::keyClick(quality->lineEdit(), Qt::Key_Return);  // adds nothing to the list
    QCOMPARE(quality->count(), 6);
    QCOMPARE(quality->currentIndex(), 0);  // Qt keeps it while the text is edited
    s.press("cmdComp", "a.txt");
    QCOMPARE(s.dialogs.messages, QStringList({"-1", kCompressionError}));
    QCOMPARE(codec.calls.constLast().constLast(), QString("1024"));
    QCOMPARE(s.window.lastCompressResult(), -1);

    s.typeQuality("Optimal");  // the item's own text selects it again
    s.press("cmdComp", "a.txt");
    QCOMPARE(codec.calls.constLast().constLast(), QString("32767"));
    QCOMPARE(s.dialogs.messages.size(), 3);
}

void WindowTest::seventeenByteExampleShowsItsRatio() {
    QTemporaryDir dir;
    const QString source = dir.filePath("data.txt");
    writeFile(source, "ABCDABCDABCDABCDX");
    Session s;
    s.press("cmdComp", source);
    QCOMPARE(s.dialogs.messages, QStringList{"Compressed Size: 83.33%"});
    QCOMPARE(s.window.lastCompressResult(), 8333);
    QCOMPARE(readFile(source + ".lzc"), QByteArray::fromHex("800441424344410001000C800158"));
    // The last update stands one past the end: 4455 twips * 18 / 17 = 4717 twips.
    QCOMPARE(s.get("shpptr")->width(), 4717 / 15);
}

void WindowTest::missingAndOversizedFilesLeaveNoCompressedFile() {
    QTemporaryDir dir;
    writeFile(dir.filePath("big.bin"), sampleText(32768));
    Session s;
    s.press("cmdComp", dir.filePath("missing.txt"));
    s.press("cmdComp", "");
    s.press("cmdComp", dir.filePath("big.bin"));
    QCOMPARE(s.dialogs.messages, QStringList(3, kCompressionError));
    QCOMPARE(listDirectory(dir.path()), QStringList{"big.bin"});
}

void WindowTest::decompressStripsTheLastFourCharacters() {
    RecordingCodec codec;
    Session s(codec);
    s.press("cmdDecomp", "/data/report.doc.lzc");
    codec.result = -1;
    s.press("cmdDecomp", "/data/archive.bin");
    QCOMPARE(codec.calls,
             QList<QStringList>({{"decompress", "/data/report.doc.lzc", "/data/report.doc", "128"},
                                 {"decompress", "/data/archive.bin", "/data/archive", "128"}}));
    QCOMPARE(s.dialogs.messages, QStringList({"Successfully decompressed", kDecompressionError}));
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
    struct RestoreDirectory {
        ~RestoreDirectory() { QDir::setCurrent(path); }
        QString path;
    } restore{QDir::currentPath()};
    QVERIFY(QDir::setCurrent(dir.path()));
    // A sound compressed file under the short name: only the name can make it fail.
    lzc::NoProgress progress;
    writeFile("source", "hello hello hello hello");
    QVERIFY(lzc::Compress("source", "stream", progress, 128, lzc::kWindowOptimal) > 0);
    if (!name.isEmpty()) {
        QVERIFY(QFile::copy("stream", name));
    }
    const QStringList before = listDirectory(".");
    {
        Session s;
        s.press("cmdDecomp", name);
        QCOMPARE(s.dialogs.messages, QStringList{kDecompressionError});
    }
    QCOMPARE(listDirectory("."), before);
    QCOMPARE(readFile(name.isEmpty() ? "stream" : name), readFile("stream"));

    // Only four characters reach the codec (with an empty destination); fewer are refused.
    RecordingCodec codec;
    codec.result = -1;
    Session s(codec);
    s.press("cmdDecomp", name);
    QCOMPARE(codec.calls.size(), name.size() == 4 ? 1 : 0);
}

void WindowTest::fileDialogSetsTheNameEvenAfterACancel() {
    Session s;
    s.dialogs.answers = {std::nullopt, "/data/chosen.txt", std::nullopt};
    s.press("cmdFile", "/data/typed.txt");  // cancelled before any choice: empties the name
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString());
    s.press("cmdFile", "");
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/chosen.txt"));
    s.press("cmdFile", "/data/typed.txt");  // a later cancel gives the held name back
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/chosen.txt"));
    QVERIFY(s.dialogs.answers.isEmpty() && s.dialogs.messages.isEmpty());
}

void WindowTest::compressThenDecompressRestoresTheSource() {
    QTemporaryDir dir;
    const QString source = dir.filePath("report.doc");
    writeFile(source, sampleText(6000));
    Session s;
    s.press("cmdComp", source);
    QVERIFY(s.window.lastCompressResult() > 0 && s.window.lastCompressResult() < 10000);
    QVERIFY(QFile::remove(source));
    s.press("cmdDecomp", source + ".lzc");
    QCOMPARE(s.dialogs.messages.constLast(), QString("Successfully decompressed"));
    QCOMPARE(readFile(source), sampleText(6000));
    QCOMPARE(listDirectory(dir.path()), QStringList({"report.doc", "report.doc.lzc"}));
}

void WindowTest::controlsAreDisabledWhileAnOperationRuns() {
    QTemporaryDir dir;
    const QString source = dir.filePath("data.txt");
    writeFile(source, sampleText(8000));
    Session s;
    const QList<QWidget*> locked{s.get("cmdFile"), s.get("cmdComp"), s.get("cmdDecomp"),
                                 s.get("cboQuality")};
    auto anyEnabled = [&] {
        return std::any_of(locked.begin(), locked.end(), [](QWidget* w) { return w->isEnabled(); });
    };
    // Every bar update happens inside the operation: there the controls must be disabled,
    // clicks must do nothing, and events posted then must be handled before it ends.
    int updates = 0;
    int updatesEnabled = 0;
    int handledInside = 0;
    ResizeHook hook(*s.get("shpptr"), [&] {
        ++updates;
        updatesEnabled += anyEnabled() ? 1 : 0;
        s.get<QPushButton>("cmdComp")->click();
        s.get<QPushButton>("cmdDecomp")->click();
        QMetaObject::invokeMethod(
            &s.window, [&] { handledInside += anyEnabled() ? 0 : 1; }, Qt::QueuedConnection);
    });

    for (const char* button : {"cmdComp", "cmdDecomp"}) {
        updates = 0;
        handledInside = 0;
        s.get<QLineEdit>("txtFile")->setText(button == QString("cmdComp") ? source
                                                                          : source + ".lzc");
        QFile::remove(button == QString("cmdComp") ? source + ".lzc" : source);
        s.get<QPushButton>(button)->click();
        QVERIFY(updates > 1);
        QCOMPARE(updatesEnabled, 0);
        QCOMPARE(handledInside, updates);
        QVERIFY(
            std::all_of(locked.begin(), locked.end(), [](QWidget* w) { return w->isEnabled(); }));
    }
    QCOMPARE(s.dialogs.messages.size(), 2);
    QVERIFY(s.dialogs.messages.constFirst().startsWith("Compressed Size: "));
    QCOMPARE(s.dialogs.messages.constLast(), QString("Successfully decompressed"));
    QCOMPARE(readFile(source), sampleText(8000));
}

void WindowTest::droppedFileNamesTheFile() {
    RecordingCodec codec;
    Session s(codec);
    s.get<QLineEdit>("txtFile")->setText("/data/old.txt");
    auto drop = [&](const QUrl& url) {
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(QPoint(50, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &enter);
        QDropEvent dropped(QPointF(50, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    };
    QVERIFY(!drop(QUrl("https://example.org/page.html")));
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/old.txt"));
    QVERIFY(drop(QUrl::fromLocalFile("/data/new file.txt")));
    QCOMPARE(s.get<QLineEdit>("txtFile")->text(), QString("/data/new file.txt"));
    QVERIFY(s.dialogs.messages.isEmpty() && codec.calls.isEmpty());
}

void WindowTest::messageBoxAndFileDialogSettings() {
    QWidget parent;
    const auto box = QtDialogs::makeMessageBox(&parent, "Successfully decompressed");
    QCOMPARE(box->windowTitle(), QString("Vellicor"));
    QCOMPARE(box->text(), QString("Successfully decompressed"));
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    const auto dialog = QtDialogs::makeFileDialog(&parent, "");
    QCOMPARE(dialog->objectName(), QString("cdlg"));
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
