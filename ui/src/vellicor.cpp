#include "vellicor/vellicor.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <array>
#include <string>

#include "vellicor/decisions.h"

namespace vellicor {
namespace {

// The codec updates the bar once every this many steps.
constexpr std::int32_t kProgressInterval = lzc::kDefaultProgressInterval;

CodecCalls& lzcCodec() {
    static LzcCodecCalls calls;
    return calls;
}

template <class Widget>
Widget* makeControl(QWidget* parent, const char* name, QRect twips) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twips);
    return widget;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* button = makeControl<QPushButton>(parent, name, twips);
    button->setText(QLatin1String(caption));
    button->setAutoDefault(false);
    return button;
}

RectangleShape* makeShape(QWidget* parent, const char* name, QColor fill, QRect twips) {
    auto* shape = new RectangleShape(fill, parent);
    shape->setObjectName(QLatin1String(name));
    shape->setGeometry(twips);
    return shape;
}

// A name as the file system spells it.
std::string localName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

}  // namespace

// Disables the buttons and the quality box while an operation runs: the codec lets the window
// handle its events during the operation, and a click then must not start a second one.
class Vellicor::OperationLock {
public:
    explicit OperationLock(Vellicor& window)
        : controls_{window.cmdFile_, window.cmdComp_, window.cmdDecomp_, window.cboQuality_},
          focus_(window.focusWidget()) {
        for (QWidget* control : controls_) {
            control->setEnabled(false);
        }
    }
    ~OperationLock() {
        for (QWidget* control : controls_) {
            control->setEnabled(true);
        }
        // Disabling the clicked button moved the focus away from it; give it back.
        if (focus_) {
            focus_->setFocus();
        }
    }
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

private:
    std::array<QWidget*, 4> controls_;
    QPointer<QWidget> focus_;
};

Vellicor::Vellicor(Dialogs& dialogs, QWidget* parent) : Vellicor(dialogs, lzcCodec(), parent) {}

Vellicor::Vellicor(Dialogs& dialogs, CodecCalls& codec, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      codec_(codec),
      txtFile_(makeControl<QLineEdit>(this, "txtFile", twipsRect(120, 120, 3975, 375))),
      cmdFile_(makeButton(this, "cmdFile", "...", twipsRect(4200, 120, 375, 375))),
      cmdComp_(makeButton(this, "cmdComp", "compress", twipsRect(120, 600, 1575, 375))),
      cmdDecomp_(makeButton(this, "cmdDecomp", "decompress", twipsRect(1800, 600, 1455, 375))),
      cboQuality_(makeControl<QComboBox>(this, "cboQuality", twipsRect(3360, 600, 1215, 315))),
      shpback_(makeShape(this, "shpback", Qt::white, twipsRect(120, 1080, 4455, 255))),
      shpptr_(makeShape(this, "shpptr", Qt::blue, twipsRect(120, 1080, 1215, 255))),
      progress_(*shpback_, *shpptr_) {
    setWindowTitle(QStringLiteral("Vellicor v1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/vellicor/vellicor.png")));
    setFixedSize(twipsToPixels(4680), twipsToPixels(1440));

    // Typed text stays as typed: no completion, and Enter adds nothing to the list.
    cboQuality_->setEditable(true);
    cboQuality_->setInsertPolicy(QComboBox::NoInsert);
    cboQuality_->setCompleter(nullptr);
    for (int index = 0; index < kQualityCount; ++index) {
        cboQuality_->addItem(qualityText(index));
    }
    // Until the window loads the box shows its own name, as a designer leaves it.
    cboQuality_->setCurrentIndex(-1);
    cboQuality_->setEditText(QStringLiteral("Combo1"));

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

    Form_Load();
}

void Vellicor::Form_Load() {
    shpptr_->resize(0, shpptr_->height());
    cboQuality_->setCurrentIndex(0);
}

void Vellicor::cmdFile_Click() {
    txtFile_->setText(dialogs_.showOpen(this));
}

void Vellicor::cmdComp_Click() {
    const int index = qualityIndex();
    const QualityChoice quality = chooseQuality(index);
    if (quality.reportIndex) {
        dialogs_.showMessage(this, QString::number(index));
    }
    const QString source = txtFile_->text();
    const QString destination = compressedName(source);
    {
        OperationLock lock(*this);
        lastCompressResult_ = codec_.compress(localName(source), localName(destination), progress_,
                                              kProgressInterval, quality.window);
    }
    dialogs_.showMessage(this, compressionMessage(lastCompressResult_));
}

void Vellicor::cmdDecomp_Click() {
    const QString source = txtFile_->text();
    const std::optional<QString> destination = restoredName(source);
    std::int32_t result = -1;
    // A name of fewer than four characters leaves no destination: refused without a call.
    if (destination) {
        OperationLock lock(*this);
        result = codec_.decompress(localName(source), localName(*destination), progress_,
                                   kProgressInterval);
    }
    dialogs_.showMessage(this, decompressionMessage(result));
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
