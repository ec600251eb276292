#include "vellicor/explanations.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "lzc/naming.h"

namespace vellicor {
namespace {

// The whole path, with any control character in it made visible.
QString fullPath(const QString& name) {
    return QString::fromStdString(
        lzc::quotedName(QFileInfo(name).absoluteFilePath().toStdString()));
}

QString bytes(qint64 size) {
    return size == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(size);
}

QString systemReason(int error, const char* what) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("Permission denied: the file cannot be %1.")
                .arg(QLatin1String(what));
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("The disk is full.");
        default:
            return QStringLiteral("The file cannot be %1: %2.")
                .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString reason(const lzc::Outcome& outcome) {
    switch (outcome.status) {
        case lzc::Status::sourceMissing:
            return QStringLiteral("The file does not exist.");
        case lzc::Status::sourceNotRegular:
            return QStringLiteral("This is not a regular file.");
        case lzc::Status::emptyInput:
            return QStringLiteral("The file is empty.");
        case lzc::Status::sourceTooLarge:
            return QStringLiteral("The file is larger than 32767 bytes.");
        case lzc::Status::invalidStream:
        case lzc::Status::streamTooLong:
            return QStringLiteral("This is not a valid .lzc stream.");
        case lzc::Status::readFailed:
            return systemReason(outcome.systemError, "read");
        case lzc::Status::writeFailed:
            return systemReason(outcome.systemError, "written");
        default:
            // Whatever else the codec reports, in its own words.
            QString text = QString::fromUtf8(lzc::statusText(outcome.status));
            if (!text.isEmpty()) {
                text[0] = text[0].toUpper();
            }
            return text + QLatin1Char('.');
    }
}

}  // namespace

QString successDetails(const QString& written, qint64 writtenSize, const QString& read,
                       qint64 readSize) {
    return QStringLiteral("Wrote %1 to\n%2\nfrom the %3 of\n%4")
        .arg(bytes(writtenSize), fullPath(written), bytes(readSize), fullPath(read));
}

QString failureDetails(const lzc::Outcome& outcome, const QString& source,
                       const QString& destination) {
    const QString& concerned = outcome.status == lzc::Status::writeFailed ? destination : source;
    return reason(outcome) + QLatin1Char('\n') + fullPath(concerned);
}

QString noRestoredNameDetails(const QString& source) {
    return QStringLiteral("No file name is left once the last four characters are removed.\n") +
           fullPath(source);
}

}  // namespace vellicor
