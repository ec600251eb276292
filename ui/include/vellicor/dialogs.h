// The window's modal dialogs, behind a small interface so that tests can answer them.
#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace vellicor {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box titled "Vellicor" with the text and one OK button; returns once the
    // user has pressed OK.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // Shows the file-open dialog `cdlg`, then returns the file name it holds: the file chosen
    // now or, after a cancel, the one chosen last time (empty if none was ever chosen).
    virtual QString showOpen(QWidget* parent) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    QString showOpen(QWidget* parent) override;

    // The dialogs as they are shown, before they run.
    static std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text);
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& fileName);

private:
    QString fileName_;
};

}  // namespace vellicor
