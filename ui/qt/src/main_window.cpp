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

#include "vellicor/form_accessibility.h"
#include "vellicor/form_layout.h"

namespace vellicor {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

template <class Widget>
Widget* makeControl(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
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
      nameBox_(makeControl<QLineEdit>(this, "nameBox")),
      browseButton_(makeControl<QPushButton>(this, "browseButton")),
      compressButton_(makeControl<QPushButton>(this, "compressButton")),
      decompressButton_(makeControl<QPushButton>(this, "decompressButton")),
      qualityBox_(makeControl<QualityComboBox>(this, "qualityBox")),
      progressTrack_(makeShape(this, "progressTrack", RectangleShape::Part::track)),
      progressBar_(makeShape(this, "progressBar", RectangleShape::Part::bar)),
      progressShapes_(*progressTrack_, *progressBar_),
      flow_(*this, operations) {
    installFormAccessibility();
    const FormTexts texts = formTexts();
    setWindowTitle(qs(texts.title));
    setWindowIcon(QIcon(QStringLiteral(":/vellicor/vellicor.png")));

    // Typed text stays as typed: no completion, and Enter adds nothing to the list.
    qualityBox_->setEditable(true);
    qualityBox_->setInsertPolicy(QComboBox::NoInsert);
    qualityBox_->setCompleter(nullptr);
    for (const std::string& item : texts.qualityItems) {
        qualityBox_->addItem(qs(item));
    }
    // A chosen item reads from its start, not scrolled to its end.
    connect(qualityBox_, &QComboBox::currentIndexChanged, this,
            [this] { qualityBox_->lineEdit()->setCursorPosition(0); });
    // No item until the window opens, so that selecting the first one then scrolls it too.
    qualityBox_->setCurrentIndex(-1);

    const std::pair<QWidget*, const ControlTexts*> described[] = {
        {nameBox_, &texts.nameBox},
        {browseButton_, &texts.browseButton},
        {compressButton_, &texts.compressButton},
        {decompressButton_, &texts.decompressButton},
        {qualityBox_, &texts.qualityBox},
        {qualityBox_->lineEdit(), &texts.qualityBox},
        {progressTrack_, &texts.progressTrack},
    };
    for (const auto& [widget, text] : described) {
        widget->setAccessibleName(qs(text->accessibleName));
        widget->setAccessibleDescription(qs(text->description));
        widget->setToolTip(qs(text->description));
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(qs(text->caption));
            // Enter and Return press the focused button, like Space.
            button->setAutoDefault(true);
        }
    }

    // "..." has no letter to underline: Alt+B (browse) is its own shortcut.
    browseButton_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_B));

    setTabOrder(nameBox_, browseButton_);
    setTabOrder(browseButton_, compressButton_);
    setTabOrder(compressButton_, decompressButton_);
    setTabOrder(decompressButton_, qualityBox_);

    // A file dropped anywhere on the window names the file, so the controls pass drops on.
    setAcceptDrops(true);
    nameBox_->setAcceptDrops(false);
    qualityBox_->setAcceptDrops(false);
    qualityBox_->lineEdit()->setAcceptDrops(false);

    connect(browseButton_, &QPushButton::clicked, this, [this] { flow_.browse(); });
    connect(compressButton_, &QPushButton::clicked, this, [this] { flow_.compress(); });
    connect(decompressButton_, &QPushButton::clicked, this, [this] { flow_.decompress(); });
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] {
        if (!flow_.running()) {
            close();
        }
    });

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
    // The bar lies over the track's left end; only its width changes.
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

double MainWindow::trackTwips() const {
    return progressShapes_.trackTwips();
}

void MainWindow::setProgress(const ProgressBar& bar) {
    progressShapes_.show(bar);
    QCoreApplication::processEvents();
}

void MainWindow::showMessage(const Message& message) {
    dialogs_.showMessage(this, message);
}

bool MainWindow::ask(const Question& question) {
    return dialogs_.ask(this, question);
}

std::optional<std::string> MainWindow::chooseFile(const FileDialogRequest& request) {
    if (const std::optional<QString> chosen = dialogs_.showOpen(this, request)) {
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
    std::vector<std::string> names;
    for (const QString& name : droppedFileNames(event->mimeData()->urls())) {
        names.push_back(name.toStdString());
    }
    if (names.empty() || flow_.running()) {
        return;
    }
    event->acceptProposedAction();
    if (const std::optional<Message> notice = flow_.filesDropped(names)) {
        // Said once the drop has ended, so that the file manager is not kept waiting.
        QTimer::singleShot(0, this, [this, message = *notice] { showMessage(message); });
    }
}

}  // namespace vellicor
