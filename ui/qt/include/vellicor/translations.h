// The window's texts in the user's language: Qt's translator for the Qt side and the core's.
#pragma once

#include <QLocale>

namespace vellicor {

// Loads the translation for `locale` (by default the environment's: LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) from the program's resources, in place of any loaded before, and lets the
// core translate through Qt. False when there is none for that language: the texts stay English.
bool installTranslations(const QLocale& locale = QLocale::system());

// Makes the core's texts go through QCoreApplication::translate.
void translateCoreThroughQt();

}  // namespace vellicor
