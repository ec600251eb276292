#include "vellicor/texts.h"

#include <algorithm>
#include <cstring>

#include "catalog.h"

namespace vellicor {
namespace {

const catalog::Language*& chosen() {
    static const catalog::Language* language = nullptr;
    return language;
}

// "de-DE.UTF-8@euro" -> "de_de": the language and region, lower case, '_' between them.
std::string normalized(std::string_view tag) {
    tag = tag.substr(0, tag.find_first_of(".@"));
    std::string name(tag);
    for (char& c : name) {
        c = c == '-' ? '_' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return name;
}

}  // namespace

std::string useLanguage(const std::vector<std::string>& preferred) {
    for (const std::string& tag : preferred) {
        for (std::string name = normalized(tag); !name.empty();) {
            if (name == "en" || name == "c" || name == "posix") {
                chosen() = nullptr;
                return "en";
            }
            for (std::size_t index = 0; index < catalog::kLanguageCount; ++index) {
                if (name == catalog::kLanguages[index].name) {
                    chosen() = &catalog::kLanguages[index];
                    return name;
                }
            }
            const std::size_t cut = name.rfind('_');
            name.resize(cut == std::string::npos ? 0 : cut);
        }
    }
    chosen() = nullptr;
    return "en";
}

std::string translate(const char* context, const char* text) {
    if (const catalog::Language* language = chosen()) {
        const catalog::Entry* const end = language->entries + language->count;
        const catalog::Entry* const found =
            std::find_if(language->entries, end, [&](const catalog::Entry& entry) {
                return std::strcmp(entry.context, context) == 0 &&
                       std::strcmp(entry.source, text) == 0;
            });
        if (found != end) {
            return found->translation;
        }
    }
    return text;
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
