#include "vellicor/main_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "lzc/naming.h"
#include "vellicor/form_accessibility.h"
#include "vellicor/form_layout.h"
#include "vellicor/translations.h"

namespace vellicor {
namespace {

// Gives a control its name and description (also its tooltip) for assistive technology.
void setAccessibleTexts(QWidget* widget, const QString& name, const QString& description) {
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
    widget->setToolTip(description);
}

template <class Widget>
Widget* makeControl(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A button that Enter and Return press when it has the focus, like Space.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = makeControl<QPushButton>(parent, name);
    button->setText(caption);
    button->setAutoDefault(true);
    return button;
}

RectangleShape* makeShape(QWidget* parent, const char* name, RectangleShape::Part part) {
    auto* shape = new RectangleShape(part, parent);
    shape->setObjectName(QLatin1String(name));
    return shape;
}

QRect toQRect(const Rect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

Size toSize(const QSize& size) {
    return {size.width(), size.height()};
}

// The room a button's caption needs: the text with the style's margin and frame around it.
QSize neededSize(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    const QStyle* style = button.style();
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, &button) +
                       2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    return button.fontMetrics().size(Qt::TextShowMnemonic, button.text()) + QSize(margin, margin);
}

int widestItem(const QComboBox& box) {
    int widest = 0;
    for (int index = 0; index < box.count(); ++index) {
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(box.itemText(index)));
    }
    return widest;
}

// The room the quality box needs for its longest item in its edit field. Its list then opens at
// least as wide.
QSize neededSize(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    option.rect = QRect(QPoint(), box.size());
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &box);
    // A line edit keeps 2 pixels clear on either side of its text, and 1 for the cursor.
    const int width = widestItem(box) + 5 + box.width() - field.width();
    return {width, box.sizeHint().height()};
}

// The local files among the dropped URLs; a drop names the first.
QStringList droppedFileNames(const QList<QUrl>& urls) {
    QStringList names;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            names << url.toLocalFile();
        }
    }
    return names;
}

// Disabling the focused control would send the focus on through the form, each stop announced
// by a screen reader, and disabling its parent would take the focus away. So the inputs (and
// their parts, such as the quality box's line edit) are marked disabled without Qt's focus
// handling: they draw as disabled and take no input, and the focus stays where it is.
void markEnabled(QWidget* input, bool enabled) {
    QList<QWidget*> parts = input->findChildren<QWidget*>();
    parts.prepend(input);
    for (QWidget* part : parts) {
        if (!part->isWindow() && part->isEnabled() != enabled) {
            part->setAttribute(Qt::WA_Disabled, !enabled);
            QEvent change(QEvent::EnabledChange);
            QCoreApplication::sendEvent(part, &change);
            part->update();
        }
    }
}

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : MainWindow(dialogs, fileLayerOperations(), parent) {}

MainWindow::MainWindow(Dialogs& dialogs, FileOperations& operations, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      nameBox_(makeControl<QLineEdit>(this, "txtFile")),
      browseButton_(makeButton(this, "cmdFile", QStringLiteral("..."))),
      compressButton_(makeButton(this, "cmdComp", tr("&compress"))),
      decompressButton_(makeButton(this, "cmdDecomp", tr("&decompress"))),
      qualityBox_(makeControl<QComboBox>(this, "cboQuality")),
      progressTrack_(makeShape(this, "shpback", RectangleShape::Part::track)),
      progressBar_(makeShape(this, "shpptr", RectangleShape::Part::bar)),
      progressShapes_(*progressTrack_, *progressBar_),
      flow_(*this, operations) {
    translateCoreThroughQt();
    installFormAccessibility();
    setWindowTitle(tr("Vellicor v1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/vellicor/vellicor.png")));

    // Typed text stays as typed: no completion, and Enter adds nothing to the list.
    qualityBox_->setEditable(true);
    qualityBox_->setInsertPolicy(QComboBox::NoInsert);
    qualityBox_->setCompleter(nullptr);
    for (int index = 0; index < kQualityCount; ++index) {
        qualityBox_->addItem(QString::fromStdString(qualityLabel(index)));
    }
    // A chosen item reads from its start, not scrolled to its end.
    connect(qualityBox_, &QComboBox::currentIndexChanged, this,
            [this] { qualityBox_->lineEdit()->setCursorPosition(0); });
    // No item until the window opens, so that selecting the first one then scrolls it too.
    qualityBox_->setCurrentIndex(-1);

    // "..." has no letter to underline, so it takes Alt+B (browse) as its own shortcut.
    browseButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_B));
    setAccessibleTexts(nameBox_, tr("File name"),
                       tr("The file to compress, or the .lzc file to decompress"));
    setAccessibleTexts(browseButton_, tr("Browse"), tr("Choose the file in a file dialog (Alt+B)"));
    // The shortcuts follow the captions' underlined letters, whatever the language.
    const auto mnemonic = [](const QPushButton* button) {
        return QKeySequence::mnemonic(button->text()).toString(QKeySequence::NativeText);
    };
    setAccessibleTexts(compressButton_, tr("Compress"),
                       tr("Compress the file into the file name followed by .lzc (%1)")
                           .arg(mnemonic(compressButton_)));
    setAccessibleTexts(
        decompressButton_, tr("Decompress"),
        tr("Restore the .lzc file under its name without the last four characters (%1)")
            .arg(mnemonic(decompressButton_)));
    for (QWidget* quality :
         {static_cast<QWidget*>(qualityBox_), static_cast<QWidget*>(qualityBox_->lineEdit())}) {
        setAccessibleTexts(
            quality, tr("Quality"),
            tr("How far back compression looks for repeats: %1 is smallest, "
               "%2 fastest")
                .arg(qualityBox_->itemText(0), qualityBox_->itemText(kQualityCount - 1)));
    }
    setAccessibleTexts(progressTrack_, tr("Progress"),
                       tr("How much of the current operation is done"));

    setTabOrder(nameBox_, browseButton_);
    setTabOrder(browseButton_, compressButton_);
    setTabOrder(compressButton_, decompressButton_);
    setTabOrder(decompressButton_, qualityBox_);

    // A file dropped anywhere on the window names the file, so the controls pass drops on.
    setAcceptDrops(true);
    nameBox_->setAcceptDrops(false);
    qualityBox_->setAcceptDrops(false);
    qualityBox_->lineEdit()->setAcceptDrops(false);

    connect(browseButton_, &QPushButton::clicked, this, [this] { flow_.browseClicked(); });
    connect(compressButton_, &QPushButton::clicked, this, [this] { flow_.compressClicked(); });
    connect(decompressButton_, &QPushButton::clicked, this, [this] { flow_.decompressClicked(); });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] {
        if (!flow_.running()) {
            close();
        }
    });

    progressBar_->setGeometry(toQRect(twipsToPixels(kProgressBarTwips, logicalDpiX())));
    layoutControls();
    // The window opens with an empty bar and the best quality.
    progressBar_->resize(0, progressBar_->height());
    qualityBox_->setCurrentIndex(0);
}

void MainWindow::layoutControls() {
    const std::array<QWidget*, kFormControlCount> controls{
        nameBox_, browseButton_, compressButton_, decompressButton_, qualityBox_, progressTrack_};
    const std::array<Size, kFormControlCount> needed{
        Size{0, nameBox_->sizeHint().height()}, toSize(neededSize(*browseButton_)),
        toSize(neededSize(*compressButton_)),   toSize(neededSize(*decompressButton_)),
        toSize(neededSize(*qualityBox_)),       Size{},
    };
    const FormPlacement placement = placeControls(logicalDpiX(), needed);
    for (std::size_t control = 0; control < controls.size(); ++control) {
        controls[control]->setGeometry(toQRect(placement.controls[control]));
    }
    progressBar_->setGeometry(progressTrack_->x(), progressTrack_->y(), progressBar_->width(),
                              progressTrack_->height());
    setFixedSize(placement.client.width, placement.client.height);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutControls();
    }
}

void MainWindow::setFileName(const QString& name) {
    nameBox_->setText(name);
}

std::string MainWindow::nameText() const {
    return nameBox_->text().toStdString();
}

void MainWindow::setNameText(const std::string& name) {
    nameBox_->setText(QString::fromStdString(name));
}

QualityBox MainWindow::qualityBox() const {
    return {qualityBox_->currentIndex(), qualityBox_->currentText().toStdString()};
}

void MainWindow::setInputsEnabled(bool enabled) {
    if (!enabled) {
        focusBeforeLock_ = focusWidget();
    }
    for (QWidget* input :
         {static_cast<QWidget*>(nameBox_), static_cast<QWidget*>(browseButton_),
          static_cast<QWidget*>(compressButton_), static_cast<QWidget*>(decompressButton_),
          static_cast<QWidget*>(qualityBox_)}) {
        markEnabled(input, enabled);
    }
    if (enabled && focusBeforeLock_ && focusWidget() != focusBeforeLock_) {
        focusBeforeLock_->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::setProgress(std::int64_t done, std::int64_t total) {
    progressShapes_.show(done, total);
    QCoreApplication::processEvents();
}

void MainWindow::showMessage(const Message& message) {
    dialogs_.showMessage(this, message);
}

bool MainWindow::askReplace(const std::string& absoluteName) {
    return dialogs_.askReplace(this, QString::fromStdString(absoluteName));
}

std::optional<std::string> MainWindow::chooseFile(const std::string& typed) {
    if (const std::optional<QString> chosen =
            dialogs_.showOpen(this, QString::fromStdString(typed))) {
        return chosen->toStdString();
    }
    return std::nullopt;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFileNames(event->mimeData()->urls()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList names = droppedFileNames(event->mimeData()->urls());
    if (names.isEmpty() || flow_.running()) {
        return;
    }
    nameBox_->setText(names.constFirst());
    event->acceptProposedAction();
    if (names.size() > 1) {
        // Said once the drop has ended, so that the file manager is not kept waiting.
        const Message message{
            Message::Kind::information,
            tr("%1 files were dropped; the first one was taken.").arg(names.size()).toStdString(),
            lzc::quotedName(names.constFirst().toStdString()),
            {}};
        QTimer::singleShot(0, this, [this, message] { showMessage(message); });
    }
}

}  // namespace vellicor
