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
    // A modal message box titled "Vellicor" with the text, Qt's informative text under it
    // (none when empty) and one OK button; returns once the user has pressed OK.
    virtual void showMessage(QWidget* parent, const QString& text,
                             const QString& informativeText) = 0;
    // Asks "NAME already exists. Replace it?" about the file at `path`, with Yes and No, No the
    // default. True for Yes.
    virtual bool askReplace(QWidget* parent, const QString& path) = 0;
    // Shows the file-open dialog `cdlg`, starting in the folder of the typed name when that
    // folder exists, then returns the file name it holds: the file chosen now or, after a
    // cancel, the one chosen last time (empty if none was ever chosen).
    virtual QString showOpen(QWidget* parent, const QString& typed) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& informativeText) override;
    bool askReplace(QWidget* parent, const QString& path) override;
    QString showOpen(QWidget* parent, const QString& typed) override;

    // The file dialog as it is shown, before it runs: `held` is the name chosen last time.
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& held,
                                                       const QString& typed);

private:
    QString fileName_;
};

}  // namespace vellicor
