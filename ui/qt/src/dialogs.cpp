#include "vellicor/dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <memory>
#include <utility>

#include "lzc/naming.h"

namespace vellicor {
namespace {

const QString kTitle = QStringLiteral("Vellicor");

// The folder a typed name points into: the name itself when it is a folder, else the folder
// holding it, when that exists; empty otherwise.
QString typedFolder(const QString& typed) {
    if (typed.isEmpty()) {
        return {};
    }
    const QFileInfo info(typed);
    if (info.isDir()) {
        return info.absoluteFilePath();
    }
    const QFileInfo folder(info.absolutePath());
    return folder.isDir() ? folder.absoluteFilePath() : QString();
}

}  // namespace

QtDialogs::QtDialogs() : QtDialogs(&QDesktopServices::openUrl) {}

QtDialogs::QtDialogs(UrlOpener openUrl) : openUrl_(std::move(openUrl)) {}

std::unique_ptr<QFileDialog> QtDialogs::makeFileDialog(QWidget* parent, const QString& held,
                                                       const QString& typed) {
    // Any name may be typed.
    auto dialog = std::make_unique<QFileDialog>(
        parent, QCoreApplication::translate("vellicor::Dialogs", "Open"));
    dialog->setObjectName(QStringLiteral("cdlg"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    const QString compressed =
        QCoreApplication::translate("vellicor::Dialogs", "Compressed files (*.lzc)");
    dialog->setNameFilters(
        {QCoreApplication::translate("vellicor::Dialogs", "All files (*)"), compressed});
    if (typed.endsWith(QStringLiteral(".lzc"))) {
        dialog->selectNameFilter(compressed);
    }
    if (!held.isEmpty()) {
        dialog->selectFile(held);
    }
    if (const QString folder = typedFolder(typed); !folder.isEmpty()) {
        dialog->setDirectory(folder);
        if (QFileInfo(typed).isFile()) {
            dialog->selectFile(QFileInfo(typed).absoluteFilePath());
        }
    }
    return dialog;
}

void QtDialogs::showMessage(QWidget* parent, const Message& message) {
    const bool success = message.kind == Message::Kind::information;
    QMessageBox box(success ? QMessageBox::Information : QMessageBox::Warning, kTitle,
                    QString::fromStdString(message.text), QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromStdString(message.informativeText));
    // Lets the paths in the informative text be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPushButton* openFolder = nullptr;
    if (!message.folder.empty()) {
        openFolder = box.addButton(QCoreApplication::translate("vellicor::Dialogs", "Open &Folder"),
                                   QMessageBox::ActionRole);
        openFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (openFolder != nullptr && box.clickedButton() == openFolder) {
        openUrl_(QUrl::fromLocalFile(QString::fromStdString(message.folder)));
    }
}

bool QtDialogs::askReplace(QWidget* parent, const QString& path) {
    const QFileInfo info(path);
    const auto visible = [](const QString& name) {
        return QString::fromStdString(lzc::quotedName(name.toStdString()));
    };
    QMessageBox box(
        QMessageBox::Question, kTitle,
        QCoreApplication::translate("vellicor::Dialogs", "%1 already exists. Replace it?")
            .arg(visible(info.fileName())),
        QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText(visible(info.absoluteFilePath()));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::showOpen(QWidget* parent, const QString& typed) {
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, fileName_, typed);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    fileName_ = dialog->selectedFiles().constFirst();
    return fileName_;
}

}  // namespace vellicor
