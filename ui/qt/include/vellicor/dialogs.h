// The window's modal dialogs, behind a small interface so that tests can answer them.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "vellicor/window_flow.h"

class QFileDialog;
class QWidget;

namespace vellicor {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box titled "Vellicor" with the text, Qt's informative text under it (none
    // when empty), the information or warning icon and OK; with a folder, also a button that
    // opens it. Returns once the user has pressed a button.
    virtual void showMessage(QWidget* parent, const Message& message) = 0;
    // Asks "NAME already exists. Replace it?" about the file at `path`, with Yes and No, No the
    // default. True for Yes.
    virtual bool askReplace(QWidget* parent, const QString& path) = 0;
    // Shows the file-open dialog `cdlg`, starting in the folder of the typed name when that
    // folder exists, then returns the file chosen, or nullopt on Cancel.
    virtual std::optional<QString> showOpen(QWidget* parent, const QString& typed) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    // Opens a folder in the desktop's file manager.
    using UrlOpener = std::function<bool(const QUrl&)>;
    QtDialogs();
    explicit QtDialogs(UrlOpener openUrl);

    void showMessage(QWidget* parent, const Message& message) override;
    bool askReplace(QWidget* parent, const QString& path) override;
    std::optional<QString> showOpen(QWidget* parent, const QString& typed) override;

    // The file dialog as it is shown, before it runs: `held` is the name chosen last time. A
    // typed name ending in .lzc selects the .lzc filter; "All files" is always there.
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& held,
                                                       const QString& typed);

private:
    UrlOpener openUrl_;
    QString fileName_;
};

}  // namespace vellicor
