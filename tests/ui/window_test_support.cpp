#include "window_test_support.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <array>

namespace vellicor::test {

void RecordingDialogs::showMessage(QWidget*, const QString& text) {
    messages.append(text);
}

QString RecordingDialogs::showOpen(QWidget*) {
    ++openCount;
    if (answers.isEmpty()) {
        qFatal("the file-open dialog was shown without a scripted answer");
    }
    if (const std::optional<QString> answer = answers.takeFirst()) {
        fileName_ = *answer;
    }
    return fileName_;
}

std::int32_t RecordingCodec::compress(const std::string& source, const std::string& destination,
                                      lzc::ProgressPair&, std::int32_t interval,
                                      std::int32_t window) {
    compressCalls.append(Call{source, destination, interval, window});
    return compressResult;
}

std::int32_t RecordingCodec::decompress(const std::string& source, const std::string& destination,
                                        lzc::ProgressPair&, std::int32_t interval) {
    decompressCalls.append(Call{source, destination, interval, 0});
    return decompressResult;
}

void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(name));
    }
}

QByteArray readFile(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(name));
    }
    return file.readAll();
}

QStringList listDirectory(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                     QDir::Name);
}

QByteArray sampleText(int size) {
    static constexpr std::array<const char*, 8> kWords{"lorem", "ipsum",  "dolor", "sit",
                                                       "amet",  "tempor", "magna", "aliqua"};
    QByteArray text;
    std::uint32_t state = 12345;
    while (text.size() < size) {
        state = state * 1103515245U + 12345U;
        text += kWords[(state >> 16) % kWords.size()];
        text += (state >> 8) % 7 == 0 ? '\n' : ' ';
    }
    text.truncate(size);
    return text;
}

}  // namespace vellicor::test
