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
#include <cmath>
#include <functional>

#include "vellicor/form_layout.h"
#include "vellicor/main_window.h"
#include "vellicor/translations.h"

using namespace vellicor;

namespace {

// Records every message (text, details, folder), question and file dialog request; answers
// with `replace` and `opened`.
struct RecordingDialogs final : Dialogs {
    void showMessage(QWidget*, const Message& message) override {
        messages << QString::fromStdString(message.text);
        informative << QString::fromStdString(message.details);
    }
    bool ask(QWidget*, const Question&) override { return replace; }
    std::optional<QString> showOpen(QWidget*, const FileDialogRequest& request) override {
        requests << QString::fromStdString(request.folder);
        return opened;
    }
    QStringList messages, informative, requests;
    bool replace = false;
    std::optional<QString> opened;
};

// Records the operation, names and search window that reach it, reports `done` of 17, runs
// `during`, returns `outcome`.
struct ScriptedCodec final : FileOperations {
    lzc::Outcome compress(const std::filesystem::path& source,
                          const std::filesystem::path& destination, std::int32_t searchWindow,
                          const ProgressReport& progress, const ReplaceQuestion&) override {
        calls << QStringList{"compress", source.c_str(), destination.c_str(),
                             QString::number(searchWindow)};
        return progress(done, 17), during(), outcome;
    }
    lzc::Outcome decompress(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const ProgressReport&,
                            const ReplaceQuestion&) override {
        calls << QStringList{"decompress", source.c_str(), destination.c_str()};
        return during(), outcome;
    }
    QList<QStringList> calls;
    lzc::Outcome outcome;
    std::int64_t done = 1;
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
        get<QLineEdit>("nameBox")->setText(fileName);
        QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton);
    }
    RecordingDialogs dialogs;
    MainWindow window;
};

const char* const kInputs[] = {"nameBox", "browseButton", "compressButton", "decompressButton",
                               "qualityBox"};

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
        texts << s.get<QComboBox>("qualityBox")->itemText(index);
    }
    return texts;
}

// Every caption and quality fits its control, and every input the window.
void checkTextFits(Session& s) {
    for (const char* name : {"browseButton", "compressButton", "decompressButton"}) {
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
    QComboBox* quality = s.get<QComboBox>("qualityBox");
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

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void controlsFollowTheDpiFitTheFontAndAreNamed();
    void keysStartOperationsDuringWhichEveryInputIsInert();
    void progressDrawsTheModel();
    void dropNamesTheFirstLocalFile();
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
            QCOMPARE(s.get("nameBox")->geometry(), QRect(px(120), px(120), px(3975), px(375)));
            QCOMPARE(s.get("progressBar")->geometry(), QRect(px(120), px(1080), 0, px(255)));
        }
        checkTextFits(s);
    }
}

void WindowTest::keysStartOperationsDuringWhichEveryInputIsInert() {
    ScriptedCodec codec;
    codec.outcome.ratio = 4560;
    Session s(&codec);
    s.get<QComboBox>("qualityBox")->setCurrentIndex(3);
    int enabledDuring = 0;
    codec.during = [&] {  // keys and clicks that arrive while the codec runs do nothing
        for (const char* name : kInputs) {
            enabledDuring += s.get(name)->isEnabled() ? 1 : 0;
        }
        QTest::keyClicks(s.get("nameBox"), "x");
        s.window.flow().compress();
        s.window.flow().decompress();
    };
    s.dialogs.opened = "/d/a.lzc";
    s.get<QLineEdit>("nameBox")->setText("/d/a.lzc");
    // Enter and Return press the focused button, a mnemonic its own button; either way the
    // focus goes back where it was afterwards.
    const std::pair<const char*, QKeyCombination> presses[] = {
        {"compressButton", Qt::Key_Enter},   {"decompressButton", Qt::Key_Return},
        {"nameBox", Qt::ALT | Qt::Key_C},    {"qualityBox", Qt::ALT | Qt::Key_D},
        {"qualityBox", Qt::ALT | Qt::Key_B},
    };
    qsizetype done = 0;
    for (const auto& [focus, key] : presses) {
        s.get(focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        // A mnemonic clicks its button after a short flash.
        ++done;
        QTRY_COMPARE(codec.calls.size() + s.dialogs.requests.size(), done);
        QCOMPARE(QApplication::focusWidget(), s.get(focus));
    }
    QCOMPARE(enabledDuring, 0);
    for (const char* name : kInputs) {
        QVERIFY(s.get(name)->isEnabled());
    }
    QTest::keyClicks(s.get<QComboBox>("qualityBox")->lineEdit(), "Best");  // no list index
    s.press("compressButton", "a");
    const QStringList compress{"compress", "/d/a.lzc", "/d/a.lzc.lzc", "4092"};
    const QStringList decompress{"decompress", "/d/a.lzc", "/d/a"};
    QCOMPARE(codec.calls,
             QList<QStringList>(
                 {compress, decompress, compress, decompress, {"compress", "a", "a.lzc", "1024"}}));
}

void WindowTest::progressDrawsTheModel() {
    ScriptedCodec codec;
    Session s(&codec);
    codec.done = 18;  // the last report stands one past the end
    codec.outcome.ratio = 8333;
    s.press("compressButton", "/d/a");
    const double dpi = s.window.logicalDpiX();
    const double track = s.get("progressTrack")->width() * 1440 / dpi;
    QCOMPARE(s.get("progressBar")->width(), twipsToPixels(std::floor(track * 18 / 17), dpi));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(s.get("progressTrack"))->text(QAccessible::Value),
        QString("100%"));
    codec.outcome.status = lzc::FileStatus::cancelled;  // nothing written: the bar empties
    s.press("compressButton", "/d/a");
    QCOMPARE(s.get("progressBar")->width(), 0);
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
        named << s.get<QLineEdit>("nameBox")->text();
    }
    QCOMPARE(named, QStringList({"", "/tmp/a b"}));
    // Two local files: the second is not taken silently.
    QTRY_COMPARE(s.dialogs.messages, QStringList{"2 files were dropped; the first one was taken."});
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
        s.press("compressButton", "");  // and the core's texts
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
        ShapeProgress(*s.get<RectangleShape>("progressTrack"),
                      *s.get<RectangleShape>("progressBar"))
            .show({600, 13});
        const QImage image = s.window.grab().toImage();
        const QRect track = s.get("progressTrack")->geometry();
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
    s.get<QLineEdit>("nameBox")->setText("/d/a");
    for (const char* focus : kInputs) {
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
        s.window.flow().compress();
        QCOMPARE(focusMoves.count(), 0);
        QCOMPARE(heard, QStringList{"Progress5"});  // 1 of 17
    }
    QAccessibleInterface* quality = QAccessible::queryAccessibleInterface(s.get("qualityBox"));
    QCOMPARE(quality->text(QAccessible::Name), QString("Quality"));
    QCOMPARE(quality->text(QAccessible::Value), QString("Optimal"));
}

void WindowTest::cancelKeepsTheTypedName() {
    QTemporaryDir dir;
    const QString picked = dir.filePath("picked.txt");
    QFile file(picked);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    QtDialogs dialogs([](const QString&, const QString&) {});
    Session s(nullptr, &dialogs);
    const std::tuple<QString, QString, QString> cases[] = {
        // typed, picked (empty: Cancel), the filter the dialog shows
        {dir.filePath("typed.lzc"), "", "Compressed files (*.lzc)"},
        {"", picked, "All files (*)"},
    };
    for (const auto& [typed, pick, filter] : cases) {
        whenShown<QFileDialog>([&, pick = pick, filter = filter](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Open"));  // as the core's request says
            QCOMPARE(dialog->selectedNameFilter(), filter);
            QCOMPARE(dialog->directory().absolutePath(), dir.path());
            if (pick.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(pick);
                static_cast<QDialog*>(dialog)->accept();  // as the Open button does
            }
        });
        s.press("browseButton", typed);
        QCOMPARE(s.get<QLineEdit>("nameBox")->text(), pick.isEmpty() ? typed : pick);
    }
}

void WindowTest::ctrlQQuitsUnlessAnOperationRuns() {
    for (const bool running : {true, false}) {
        ScriptedCodec codec;
        Session s(&codec);
        codec.during = [&] { QTest::keyClick(s.get("nameBox"), Qt::Key_Q, Qt::ControlModifier); };
        running ? s.press("compressButton", "/d/a") : codec.during();
        QCOMPARE(s.window.isVisible(), running);
    }
}

void WindowTest::successOffersToOpenTheFolder() {
    using Kind = Message::Kind;
    const std::tuple<Kind, const char*, const char*, QMessageBox::Icon, QStringList> cases[] = {
        // the message, its folder, the button pressed; the icon and the files shown
        {Kind::information, "/d", "openFolderButton", QMessageBox::Information, {"/d /d/a.lzc"}},
        {Kind::information, "/d", "", QMessageBox::Information, {}},
        {Kind::warning, "", "", QMessageBox::Warning, {}},
    };
    for (const auto& [kind, folder, button, icon, files] : cases) {
        QStringList shown;
        QtDialogs dialogs(
            [&](const QString& in, const QString& file) { shown << in + " " + file; });
        QMessageBox::Icon shownIcon{};
        whenShown<QMessageBox>([&, button = QString(button)](QMessageBox* box) {
            shownIcon = box->icon();
            QCOMPARE(box->windowTitle(), QString("Vellicor"));
            QCOMPARE(box->findChild<QPushButton*>("openFolderButton") != nullptr, *folder != '\0');
            (button.isEmpty() ? box->button(QMessageBox::Ok) : box->findChild<QPushButton*>(button))
                ->click();
        });
        dialogs.showMessage(nullptr, Message{kind, "Vellicor", "text", "details", "Open &Folder",
                                             folder, "/d/a.lzc"});
        QCOMPARE(shownIcon, icon);
        QCOMPARE(shown, files);
    }
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
