#include "vellicor/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <memory>

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

std::unique_ptr<QFileDialog> QtDialogs::makeFileDialog(QWidget* parent, const QString& held,
                                                       const QString& typed) {
    // Default settings: any name may be typed, and there is no file-type filter.
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open"));
    dialog->setObjectName(QStringLiteral("cdlg"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
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

void QtDialogs::showMessage(QWidget* parent, const QString& text, const QString& informativeText) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent);
    box.setInformativeText(informativeText);
    // Lets the paths in the informative text be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

bool QtDialogs::askReplace(QWidget* parent, const QString& path) {
    const QFileInfo info(path);
    const auto visible = [](const QString& name) {
        return QString::fromStdString(lzc::quotedName(name.toStdString()));
    };
    QMessageBox box(QMessageBox::Question, kTitle,
                    QStringLiteral("%1 already exists. Replace it?").arg(visible(info.fileName())),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText(visible(info.absoluteFilePath()));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::showOpen(QWidget* parent, const QString& typed) {
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, fileName_, typed);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        fileName_ = dialog->selectedFiles().constFirst();
    }
    return fileName_;
}

}  // namespace vellicor
