#include "vellicor/decisions.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include "lzc/naming.h"
#include "lzc/quality.h"

namespace vellicor {
namespace {

bool isListIndex(int index) {
    return index >= 0 && index < kQualityCount;
}

}  // namespace

QString qualityText(int index) {
    if (!isListIndex(index)) {
        return QString();
    }
    const std::string_view label = lzc::kQualityLevels[static_cast<std::size_t>(index)].label;
    return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

QualityChoice chooseQuality(int index) {
    if (!isListIndex(index)) {
        return QualityChoice{lzc::kWindowVeryPoor, true};
    }
    return QualityChoice{lzc::kQualityLevels[static_cast<std::size_t>(index)].window, false};
}

int editedComboIndex(int currentIndex, const QString& currentText, const QString& currentItemText) {
    if (currentIndex < 0 || currentText != currentItemText) {
        return -1;
    }
    return currentIndex;
}

QString compressedName(const QString& source) {
    return QString::fromStdString(lzc::compressedName(source.toStdString()));
}

std::optional<QString> restoredName(const QString& compressed) {
    const std::optional<std::string> name = lzc::restoredName(compressed.toStdString());
    return name ? std::optional(QString::fromStdString(*name)) : std::nullopt;
}

QString ratioText(std::int32_t ratio) {
    // r / 100 has at most two decimals, so integer arithmetic gives its exact digits.
    const std::int64_t magnitude = std::llabs(std::int64_t{ratio});
    const std::int64_t whole = magnitude / 100;
    const std::int64_t hundredths = magnitude % 100;
    QString text = QLatin1String(ratio < 0 ? "-" : " ");
    if (whole > 0) {
        text += QString::number(whole);
    }
    if (hundredths != 0) {
        text += QLatin1Char('.');
        text += hundredths % 10 == 0
                    ? QString::number(hundredths / 10)
                    : QStringLiteral("%1").arg(hundredths, 2, 10, QLatin1Char('0'));
    } else if (whole == 0) {
        text += QLatin1Char('0');
    }
    return text;
}

QString compressionMessage(std::int32_t result) {
    if (result < 0) {
        return QStringLiteral("An error has occured during compression");
    }
    return QStringLiteral("Compressed Size:") + ratioText(result) + QLatin1Char('%');
}

QString decompressionMessage(std::int32_t result) {
    if (result != 0) {
        return QStringLiteral("An error has occured during (de)compression");
    }
    return QStringLiteral("Successfully decompressed");
}

std::optional<QString> droppedFileName(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return std::nullopt;
}

}  // namespace vellicor
