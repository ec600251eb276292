// The main window: a file name, a quality level, "compress" and "decompress", a progress bar,
// and a message box for every outcome. The decisions live in decisions.h and the codec does
// the work; the handlers only connect the two.
#pragma once

#include <QWidget>
#include <cstdint>

#include "vellicor/codec_calls.h"
#include "vellicor/dialogs.h"
#include "vellicor/progress_shapes.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vellicor {

class Vellicor final : public QWidget {
    Q_OBJECT

public:
    // The window with the real codec.
    explicit Vellicor(Dialogs& dialogs, QWidget* parent = nullptr);
    Vellicor(Dialogs& dialogs, CodecCalls& codec, QWidget* parent = nullptr);

    // The event handlers. Form_Load has already run when the constructor returns.
    void Form_Load();
    void cmdFile_Click();
    void cmdComp_Click();
    void cmdDecomp_Click();

    // What the last compression returned: its ratio or -1 (0 before the first).
    std::int32_t lastCompressResult() const { return lastCompressResult_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class OperationLock;

    int qualityIndex() const;

    Dialogs& dialogs_;
    CodecCalls& codec_;
    QLineEdit* const txtFile_;
    QPushButton* const cmdFile_;
    QPushButton* const cmdComp_;
    QPushButton* const cmdDecomp_;
    QComboBox* const cboQuality_;
    RectangleShape* const shpback_;
    RectangleShape* const shpptr_;
    ShapeProgress progress_;
    std::int32_t lastCompressResult_ = 0;
};

}  // namespace vellicor
