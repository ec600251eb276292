// The main window: a file name, a quality level, "compress" and "decompress", a progress bar,
// and a message box for every outcome. It draws the core's model and passes every input on to
// WindowFlow. Ctrl+Q closes it unless an operation runs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "vellicor/dialogs.h"
#include "vellicor/form_accessibility.h"
#include "vellicor/progress_shapes.h"
#include "vellicor/window_flow.h"

class QLineEdit;
class QPushButton;

namespace vellicor {

class MainWindow final : public QWidget, private FormView {
    Q_OBJECT

public:
    // The window over the real file operations.
    explicit MainWindow(Dialogs& dialogs, QWidget* parent = nullptr);
    MainWindow(Dialogs& dialogs, FileOperations& operations, QWidget* parent = nullptr);

    // Puts a file name in the name box, as a file named on the command line.
    void setFileName(const QString& name);
    WindowFlow& flow() { return flow_; }

protected:
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Places the controls at the screen's DPI, grown where the font needs more.
    void layoutControls();

    std::string nameText() const override;
    void setNameText(const std::string& name) override;
    QualityBox qualityBox() const override;
    void setInputsEnabled(bool enabled) override;
    double trackTwips() const override;
    void setProgress(const ProgressBar& bar) override;
    void showMessage(const Message& message) override;
    bool ask(const Question& question) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

    Dialogs& dialogs_;
    QLineEdit* const nameBox_;
    QPushButton* const browseButton_;
    QPushButton* const compressButton_;
    QPushButton* const decompressButton_;
    QualityComboBox* const qualityBox_;
    RectangleShape* const progressTrack_;
    RectangleShape* const progressBar_;
    ShapeProgress progressShapes_;
    WindowFlow flow_;
    // Where the focus was when the inputs were disabled: a message box shown meanwhile may
    // leave the window without one.
    QPointer<QWidget> focusBeforeLock_;
};

}  // namespace vellicor
