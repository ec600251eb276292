// The informative text under an outcome's message: which file was written and how big, or why
// an operation failed and which file it concerns.
#pragma once

#include <QString>

#include "lzc/file_operation.h"

namespace vellicor {

// After a success: the full path written, its size and the size of what was read.
QString successDetails(const QString& written, qint64 writtenSize, const QString& read,
                       qint64 readSize);

// After a failure: the reason in words and the full path of the file concerned (the
// destination when writing failed, else the source).
QString failureDetails(const lzc::Outcome& outcome, const QString& source,
                       const QString& destination);

// The reason a decompression is refused without running: no name is left for the result.
QString noRestoredNameDetails(const QString& source);

}  // namespace vellicor
