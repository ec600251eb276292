// The window's texts in the user's language: the core's, and Qt's own (the standard buttons,
// the file dialog).
#pragma once

#include <QLocale>

namespace vellicor {

// Chooses the language for `locale` (by default the environment's: LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) in place of any chosen before. False when the window has no translation for
// it: the texts stay English.
bool installTranslations(const QLocale& locale = QLocale::system());

}  // namespace vellicor
