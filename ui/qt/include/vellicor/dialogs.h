// The window's modal dialogs, drawn from the core's model, behind a small interface so that tests
// can answer them.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "vellicor/window_model.h"

class QFileDialog;
class QWidget;

namespace vellicor {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns once the user has pressed a button.
    virtual void showMessage(QWidget* parent, const Message& message) = 0;
    virtual bool ask(QWidget* parent, const Question& question) = 0;
    // The file chosen, or nullopt on Cancel.
    virtual std::optional<QString> showOpen(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    // Shows a folder in the desktop's file manager with a file in it selected.
    using FileShower = std::function<void(const QString& folder, const QString& file)>;
    QtDialogs();
    explicit QtDialogs(FileShower showFile);

    void showMessage(QWidget* parent, const Message& message) override;
    bool ask(QWidget* parent, const Question& question) override;
    std::optional<QString> showOpen(QWidget* parent, const FileDialogRequest& request) override;

    // The file dialog as it is shown, before it runs.
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent,
                                                       const FileDialogRequest& request);

private:
    FileShower showFile_;
};

// The file manager's FileManager1.ShowItems over D-Bus selects the file; without one that
// answers, the folder opens as a desktop opens any folder.
void showInFileManager(const QString& folder, const QString& file);

}  // namespace vellicor
