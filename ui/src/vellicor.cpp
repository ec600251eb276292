#include "vellicor/vellicor.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "vellicor/decisions.h"
#include "vellicor/explanations.h"

namespace vellicor {
namespace {

// The codec updates the bar once every this many steps.
constexpr std::int32_t kProgressInterval = lzc::kDefaultProgressInterval;

// The form in twips: its client area and each control's left, top, width and height.
constexpr QSize kClientTwips(4680, 1440);
constexpr QRect kTxtFile(120, 120, 3975, 375);
constexpr QRect kCmdFile(4200, 120, 375, 375);
constexpr QRect kCmdComp(120, 600, 1575, 375);
constexpr QRect kCmdDecomp(1800, 600, 1455, 375);
constexpr QRect kCboQuality(3360, 600, 1215, 315);
constexpr QRect kShpback(120, 1080, 4455, 255);
constexpr QRect kShpptr(120, 1080, 1215, 255);

CodecCalls& lzcCodec() {
    static LzcCodecCalls calls;
    return calls;
}

// Gives a control its name and description (also its tooltip) for assistive technology.
void setAccessibleTexts(QWidget* widget, const char* name, const char* description) {
    widget->setAccessibleName(QLatin1String(name));
    widget->setAccessibleDescription(QLatin1String(description));
    widget->setToolTip(QLatin1String(description));
}

template <class Widget>
Widget* makeControl(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A button that Enter and Return press when it has the focus, like Space.
QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = makeControl<QPushButton>(parent, name);
    button->setText(QLatin1String(caption));
    button->setAutoDefault(true);
    return button;
}

RectangleShape* makeShape(QWidget* parent, const char* name, QColor fill) {
    auto* shape = new RectangleShape(fill, parent);
    shape->setObjectName(QLatin1String(name));
    return shape;
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

// A name as the file system spells it.
std::string localName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

}  // namespace

// Makes every input inert while an operation runs: the window handles its events during the
// operation, and a click or a keystroke then must not start a second one or change the name the
// result belongs to. The focus goes back where it was afterwards.
class Vellicor::OperationLock {
public:
    explicit OperationLock(Vellicor& window)
        : running_(window.operationRunning_),
          controls_{window.txtFile_, window.cmdFile_, window.cmdComp_, window.cmdDecomp_,
                    window.cboQuality_},
          focus_(window.focusWidget()) {
        running_ = true;
        for (QWidget* control : controls_) {
            control->setEnabled(false);
        }
    }
    ~OperationLock() {
        running_ = false;
        for (QWidget* control : controls_) {
            control->setEnabled(true);
        }
        if (focus_) {
            focus_->setFocus(Qt::OtherFocusReason);
        }
    }
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

private:
    bool& running_;
    std::array<QWidget*, 5> controls_;
    QPointer<QWidget> focus_;
};

Vellicor::Vellicor(Dialogs& dialogs, QWidget* parent) : Vellicor(dialogs, lzcCodec(), parent) {}

Vellicor::Vellicor(Dialogs& dialogs, CodecCalls& codec, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      codec_(codec),
      txtFile_(makeControl<QLineEdit>(this, "txtFile")),
      cmdFile_(makeButton(this, "cmdFile", "...")),
      cmdComp_(makeButton(this, "cmdComp", "&compress")),
      cmdDecomp_(makeButton(this, "cmdDecomp", "&decompress")),
      cboQuality_(makeControl<QComboBox>(this, "cboQuality")),
      shpback_(makeShape(this, "shpback", Qt::white)),
      shpptr_(makeShape(this, "shpptr", Qt::blue)),
      progress_(*shpback_, *shpptr_) {
    setWindowTitle(QStringLiteral("Vellicor v1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/vellicor/vellicor.png")));

    // Typed text stays as typed: no completion, and Enter adds nothing to the list.
    cboQuality_->setEditable(true);
    cboQuality_->setInsertPolicy(QComboBox::NoInsert);
    cboQuality_->setCompleter(nullptr);
    for (int index = 0; index < kQualityCount; ++index) {
        cboQuality_->addItem(qualityText(index));
    }
    // A chosen item reads from its start, not scrolled to its end.
    connect(cboQuality_, &QComboBox::currentIndexChanged, this,
            [this] { cboQuality_->lineEdit()->setCursorPosition(0); });
    // Until the window loads the box shows its own name, as a designer leaves it.
    cboQuality_->setCurrentIndex(-1);
    cboQuality_->setEditText(QStringLiteral("Combo1"));

    // "..." has no letter to underline, so it takes Alt+B (browse) as its own shortcut.
    cmdFile_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_B));
    setAccessibleTexts(txtFile_, "File name",
                       "The file to compress, or the .lzc file to decompress");
    setAccessibleTexts(cmdFile_, "Browse", "Choose the file in a file dialog (Alt+B)");
    setAccessibleTexts(cmdComp_, "Compress",
                       "Compress the file into the file name followed by .lzc (Alt+C)");
    setAccessibleTexts(
        cmdDecomp_, "Decompress",
        "Restore the .lzc file under its name without the last four characters (Alt+D)");
    setAccessibleTexts(
        cboQuality_, "Quality",
        "How far back compression looks for repeats: Optimal is smallest, Very Poor! fastest");
    setAccessibleTexts(
        cboQuality_->lineEdit(), "Quality",
        "How far back compression looks for repeats: Optimal is smallest, Very Poor! fastest");
    setAccessibleTexts(shpback_, "Progress", "How much of the current operation is done");
    setAccessibleTexts(shpptr_, "Progress bar", "How much of the current operation is done");

    setTabOrder(txtFile_, cmdFile_);
    setTabOrder(cmdFile_, cmdComp_);
    setTabOrder(cmdComp_, cmdDecomp_);
    setTabOrder(cmdDecomp_, cboQuality_);

    // A file dropped anywhere on the window names the file, so the controls pass drops on.
    setAcceptDrops(true);
    txtFile_->setAcceptDrops(false);
    cboQuality_->setAcceptDrops(false);
    cboQuality_->lineEdit()->setAcceptDrops(false);

    connect(cmdFile_, &QPushButton::clicked, this, &Vellicor::cmdFile_Click);
    connect(cmdComp_, &QPushButton::clicked, this, &Vellicor::cmdComp_Click);
    connect(cmdDecomp_, &QPushButton::clicked, this, &Vellicor::cmdDecomp_Click);

    shpptr_->setGeometry(twipsRect(kShpptr, logicalDpiX()));
    layoutControls();
    Form_Load();
}

void Vellicor::layoutControls() {
    const double dpi = logicalDpiX();
    struct Slot {
        QWidget* widget;
        QRect twips;
        QSize needed;
    };
    // The rows of the form, left to right. Where a font needs more room than the twips give, a
    // control grows and pushes the rest of its row right and the rows below it down; the first
    // control of each row (the third in the middle row) then takes up any width left over, so
    // the rows keep a common right edge.
    const std::array<std::vector<Slot>, 3> rows{{
        {{txtFile_, kTxtFile, {0, txtFile_->sizeHint().height()}},
         {cmdFile_, kCmdFile, neededSize(*cmdFile_)}},
        {{cmdComp_, kCmdComp, neededSize(*cmdComp_)},
         {cmdDecomp_, kCmdDecomp, neededSize(*cmdDecomp_)},
         {cboQuality_, kCboQuality, neededSize(*cboQuality_)}},
        {{shpback_, kShpback, {}}},
    }};
    constexpr std::array<std::size_t, 3> kStretching{0, 2, 0};

    std::array<std::vector<QRect>, 3> placed;
    int down = 0;
    int right = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        int across = 0;
        int bottomBefore = 0;
        int bottomAfter = 0;
        for (const Slot& slot : rows[row]) {
            QRect rect = twipsRect(slot.twips, dpi).translated(across, down);
            bottomBefore = std::max(bottomBefore, rect.bottom());
            rect.setSize(rect.size().expandedTo(slot.needed));
            across += rect.width() - twipsToPixels(slot.twips.width(), dpi);
            bottomAfter = std::max(bottomAfter, rect.bottom());
            right = std::max(right, rect.right());
            placed[row].push_back(rect);
        }
        down += bottomAfter - bottomBefore;
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const int spare = right - placed[row].back().right();
        placed[row][kStretching[row]].setRight(placed[row][kStretching[row]].right() + spare);
        for (std::size_t column = kStretching[row] + 1; column < placed[row].size(); ++column) {
            placed[row][column].translate(spare, 0);
        }
        for (std::size_t column = 0; column < placed[row].size(); ++column) {
            rows[row][column].widget->setGeometry(placed[row][column]);
        }
    }
    shpptr_->setGeometry(shpback_->x(), shpback_->y(), shpptr_->width(), shpback_->height());

    // The margins right of and below the controls stay as the twips give them.
    const QRect client = twipsRect(QRect(QPoint(), kClientTwips), dpi);
    const int rightMargin = client.right() - twipsRect(kShpback, dpi).right();
    const int bottomMargin = client.bottom() - twipsRect(kShpback, dpi).bottom();
    setFixedSize(client.size().expandedTo(
        QSize(right + 1 + rightMargin, shpback_->geometry().bottom() + 1 + bottomMargin)));
}

void Vellicor::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutControls();
    }
}

void Vellicor::Form_Load() {
    shpptr_->resize(0, shpptr_->height());
    cboQuality_->setCurrentIndex(0);
}

void Vellicor::setFileName(const QString& name) {
    txtFile_->setText(name);
}

void Vellicor::cmdFile_Click() {
    txtFile_->setText(dialogs_.showOpen(this, txtFile_->text()));
}

lzc::ConfirmReplace Vellicor::replaceQuestion(const QString& destination) {
    return [this, path = QFileInfo(destination).absoluteFilePath()] {
        return dialogs_.askReplace(this, path);
    };
}

void Vellicor::report(const QString& message, const lzc::Outcome& outcome, const QString& source,
                      const QString& destination) {
    const QString details = outcome.status == lzc::Status::ok
                                ? successDetails(destination, QFileInfo(destination).size(), source,
                                                 QFileInfo(source).size())
                                : failureDetails(outcome, source, destination);
    dialogs_.showMessage(this, message, details);
}

void Vellicor::cmdComp_Click() {
    if (operationRunning_) {
        return;
    }
    const int index = qualityIndex();
    const QualityChoice quality = chooseQuality(index);
    if (quality.reportIndex) {
        dialogs_.showMessage(this, QString::number(index), {});
    }
    const QString source = txtFile_->text();
    const QString destination = compressedName(source);
    lzc::Outcome outcome;
    {
        OperationLock lock(*this);
        outcome = codec_.compress(localName(source), localName(destination), progress_.callback(),
                                  kProgressInterval, quality.window, replaceQuestion(destination));
    }
    lastCompressResult_ = outcome.status == lzc::Status::ok ? outcome.ratio : -1;
    // Declining to replace the destination is the whole answer: nothing more to say.
    if (outcome.status != lzc::Status::cancelled) {
        report(compressionMessage(lastCompressResult_), outcome, source, destination);
    }
}

void Vellicor::cmdDecomp_Click() {
    if (operationRunning_) {
        return;
    }
    const QString source = txtFile_->text();
    const std::optional<QString> destination = restoredName(source);
    // A name of four characters or fewer leaves no destination: refused without a call.
    if (!destination || destination->isEmpty()) {
        dialogs_.showMessage(this, decompressionMessage(-1), noRestoredNameDetails(source));
        return;
    }
    lzc::Outcome outcome;
    {
        OperationLock lock(*this);
        outcome =
            codec_.decompress(localName(source), localName(*destination), progress_.callback(),
                              kProgressInterval, replaceQuestion(*destination));
    }
    if (outcome.status != lzc::Status::cancelled) {
        report(decompressionMessage(outcome.status == lzc::Status::ok ? 0 : -1), outcome, source,
               *destination);
    }
}

int Vellicor::qualityIndex() const {
    const int index = cboQuality_->currentIndex();
    return editedComboIndex(index, cboQuality_->currentText(), cboQuality_->itemText(index));
}

void Vellicor::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedFileName(event->mimeData()->urls())) {
        event->acceptProposedAction();
    }
}

void Vellicor::dropEvent(QDropEvent* event) {
    if (const std::optional<QString> name = droppedFileName(event->mimeData()->urls())) {
        txtFile_->setText(*name);
        event->acceptProposedAction();
    }
}

}  // namespace vellicor
