#include "vellicor/texts.h"

#include <utility>

namespace vellicor {
namespace {

Translator& installed() {
    static Translator translator;
    return translator;
}

}  // namespace

void setTranslator(Translator translator) {
    installed() = std::move(translator);
}

std::string translate(const char* context, const char* text) {
    return installed() ? installed()(context, text) : std::string(text);
}

std::string withValues(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string result;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const auto place = static_cast<std::size_t>(next - '1');
        if (text[at] == '%' && next >= '1' && next <= '9' && place < values.size()) {
            result += values.begin()[place];
            ++at;
        } else {
            result += text[at];
        }
    }
    return result;
}

}  // namespace vellicor
