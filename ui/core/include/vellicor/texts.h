// The window's texts in the user's language, without a toolkit. Every text is written in English
// in the code as translate("context", "text"), a call lupdate extracts into
// ui/core/translations/*.ts; the build compiles those into a table, so every view gets the same
// translations. Values go into numbered places (%1, %2) after translation, so a language may
// reorder them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Marks a text that is translated later, where it is used; lupdate extracts it.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace vellicor {

// Chooses the texts' language from the user's, best first, as tags ("de-DE", "de_AT.UTF-8",
// "fr"): the first that has a translation, each also tried without its region, as Qt's
// translators do; English (the texts as written) ends the search too. Returns the language
// chosen ("de", "fr"), "en" for English, which is also what is left when none is had.
std::string useLanguage(const std::vector<std::string>& preferred);

// (context, English text) -> the text in the chosen language, UTF-8.
std::string translate(const char* context, const char* text);

// `text` with %1 ... %9 replaced by the values, in one pass: a value holding "%2" stays as is.
std::string withValues(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace vellicor
