// The window's decisions, kept apart from the widgets: which search window a quality level
// stands for, how file names are derived, and the texts of the messages.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>

#include "lzc/quality.h"

namespace vellicor {

// The quality list (lzc::kQualityLevels), best first; an item's list index selects its search
// window.
inline constexpr int kQualityCount = static_cast<int>(lzc::kQualityLevels.size());
QString qualityText(int index);

struct QualityChoice {
    std::int32_t window = 0;
    // The index lies outside the list (-1 once the user has typed into the box): the window
    // shows the index before compressing with the smallest window.
    bool reportIndex = false;
};
QualityChoice chooseQuality(int index);

// The list index of an editable combo box. Qt keeps the current index while the user edits
// the text, so an index whose item no longer reads as the box does counts as -1, no selection.
int editedComboIndex(int currentIndex, const QString& currentText, const QString& currentItemText);

// The compressed file: the source name followed by ".lzc".
QString compressedName(const QString& source);

// The restored file: the compressed name without its last four characters, whatever they are.
// A name of fewer than four characters leaves no name at all (nullopt); exactly four leave an
// empty one. A character is a Unicode code point, so a surrogate pair counts once.
std::optional<QString> restoredName(const QString& compressed);

// The compressed size figure r (hundredths of a percent) as a number: r / 100 with a leading
// space (or minus sign), no trailing zeros, no point for whole numbers and no zero before the
// point: 8333 -> " 83.33", 4560 -> " 45.6", 10000 -> " 100", 3 -> " .03".
QString ratioText(std::int32_t ratio);

// The message after compressing (ratio or -1) and after decompressing (0 or -1).
QString compressionMessage(std::int32_t result);
QString decompressionMessage(std::int32_t result);

// The file that a drop names: the first local file among the dropped URLs, if any.
std::optional<QString> droppedFileName(const QList<QUrl>& urls);

}  // namespace vellicor
