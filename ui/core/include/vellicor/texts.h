// The window's texts in the user's language, without a toolkit. Every text is written in English
// in the code as translate("context", "text"), a call lupdate extracts as it does Qt's own, and
// passes through the translator that the toolkit installs; with none installed it stays English.
// Values go into numbered places (%1, %2) after translation, so a language may reorder them.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text that is translated later, where it is used; lupdate extracts it. The core defines
// its own when Qt's is absent.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace vellicor {

// (context, English text) -> the text in the user's language, UTF-8.
using Translator = std::function<std::string(const char* context, const char* text)>;
void setTranslator(Translator translator);

std::string translate(const char* context, const char* text);

// `text` with %1 ... %9 replaced by the values, in one pass: a value holding "%2" stays as is.
std::string withValues(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace vellicor
