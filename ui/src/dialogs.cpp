#include "vellicor/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vellicor {

std::unique_ptr<QMessageBox> QtDialogs::makeMessageBox(QWidget* parent, const QString& text) {
    return std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Vellicor"), text,
                                         QMessageBox::Ok, parent);
}

std::unique_ptr<QFileDialog> QtDialogs::makeFileDialog(QWidget* parent, const QString& fileName) {
    // Default settings: any name may be typed, and there is no file-type filter.
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open"));
    dialog->setObjectName(QStringLiteral("cdlg"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (!fileName.isEmpty()) {
        dialog->selectFile(fileName);
    }
    return dialog;
}

void QtDialogs::showMessage(QWidget* parent, const QString& text) {
    makeMessageBox(parent, text)->exec();
}

QString QtDialogs::showOpen(QWidget* parent) {
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, fileName_);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        fileName_ = dialog->selectedFiles().constFirst();
    }
    return fileName_;
}

}  // namespace vellicor
