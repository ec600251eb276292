#include "vellicor/dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <memory>
#include <utility>

#ifdef VELLICOR_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#endif

namespace vellicor {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void showInFileManager(const QString& folder, const QString& file) {
#ifdef VELLICOR_HAVE_DBUS
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
    if (QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage) {
        return;
    }
#else
    Q_UNUSED(file);
#endif
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QtDialogs::QtDialogs() : QtDialogs(&showInFileManager) {}

QtDialogs::QtDialogs(FileShower showFile) : showFile_(std::move(showFile)) {}

std::unique_ptr<QFileDialog> QtDialogs::makeFileDialog(QWidget* parent,
                                                       const FileDialogRequest& request) {
    auto dialog = std::make_unique<QFileDialog>(parent, qs(request.title));
    dialog->setObjectName(QStringLiteral("fileDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const FileDialogRequest::Filter& filter : request.filters) {
        filters << qs(filter.label);
    }
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.value(static_cast<qsizetype>(request.selectedFilter)));
    if (!request.folder.empty()) {
        dialog->setDirectory(qs(request.folder));
    }
    if (!request.file.empty()) {
        dialog->selectFile(qs(request.file));
    }
    return dialog;
}

void QtDialogs::showMessage(QWidget* parent, const Message& message) {
    const bool success = message.kind == Message::Kind::information;
    QMessageBox box(success ? QMessageBox::Information : QMessageBox::Warning, qs(message.title),
                    qs(message.text), QMessageBox::Ok, parent);
    box.setInformativeText(qs(message.details));
    // Lets the paths in the details be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPushButton* openFolder = nullptr;
    if (!message.folder.empty()) {
        openFolder = box.addButton(qs(message.openFolder), QMessageBox::ActionRole);
        openFolder->setObjectName(QStringLiteral("openFolderButton"));
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (openFolder != nullptr && box.clickedButton() == openFolder) {
        showFile_(qs(message.folder), qs(message.file));
    }
}

bool QtDialogs::ask(QWidget* parent, const Question& question) {
    QMessageBox box(QMessageBox::Question, qs(question.title), qs(question.text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText(qs(question.details));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::showOpen(QWidget* parent, const FileDialogRequest& request) {
    const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

}  // namespace vellicor
