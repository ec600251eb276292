// Stand-ins for the window's dialogs and codec that record what they are asked, and helpers
// for files in a scratch directory.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "vellicor/codec_calls.h"
#include "vellicor/dialogs.h"

namespace vellicor::test {

// Records every message and answers the file-open dialog from a script. Like the real dialog
// it keeps the name chosen last, which a cancel leaves as it was.
class RecordingDialogs final : public Dialogs {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    QString showOpen(QWidget* parent) override;

    QStringList messages;
    // One answer per showing: a file name, or nullopt for a cancel.
    QList<std::optional<QString>> answers;
    int openCount = 0;

private:
    QString fileName_;
};

// Records every call and answers with fixed results.
class RecordingCodec final : public CodecCalls {
public:
    struct Call {
        std::string source;
        std::string destination;
        std::int32_t interval = 0;
        std::int32_t window = 0;  // 0 for decompression
    };

    std::int32_t compress(const std::string& source, const std::string& destination,
                          lzc::ProgressPair& progress, std::int32_t interval,
                          std::int32_t window) override;
    std::int32_t decompress(const std::string& source, const std::string& destination,
                            lzc::ProgressPair& progress, std::int32_t interval) override;

    QList<Call> compressCalls;
    QList<Call> decompressCalls;
    std::int32_t compressResult = 5000;
    std::int32_t decompressResult = 0;
};

// Finds a control by its object name; a missing one ends the test run.
template <class Control>
Control* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QLatin1String(name));
    if (found == nullptr) {
        qFatal("no control named %s", name);
    }
    return found;
}

void writeFile(const QString& name, const QByteArray& bytes);
QByteArray readFile(const QString& name);
// The names in a directory, hidden ones included.
QStringList listDirectory(const QString& directory);
// Text-like bytes: words from a small vocabulary, so the codec finds plenty of repeats.
QByteArray sampleText(int size);

}  // namespace vellicor::test
