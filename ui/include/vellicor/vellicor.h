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

    // Puts a file name in the file name box, as a file named on the command line.
    void setFileName(const QString& name);

    // What the last compression returned: its ratio or -1 (0 before the first).
    std::int32_t lastCompressResult() const { return lastCompressResult_; }

protected:
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class OperationLock;

    // Places the controls at their twips at the screen's DPI, grown where the font needs more.
    void layoutControls();
    int qualityIndex() const;
    // Asks before an existing destination with other bytes is replaced.
    lzc::ConfirmReplace replaceQuestion(const QString& destination);
    // The message box after an operation: the sentence, with the details under it.
    void report(const QString& message, const lzc::Outcome& outcome, const QString& source,
                const QString& destination);

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
    // Set while an operation runs: a click handled during it starts nothing.
    bool operationRunning_ = false;
    std::int32_t lastCompressResult_ = 0;
};

}  // namespace vellicor
