#include "lzc/naming.h"

#include <algorithm>
#include <cstdio>

namespace lzc {
namespace {

constexpr std::string_view kCompressedSuffix = ".lzc";

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of `text` that is not a control
// character (C0, DEL or C1), or 0.
std::size_t printableLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return lead >= 0x20 && lead != 0x7F ? 1 : 0;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) {
        return 0;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuationByte(text[i])) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = code >= smallest[length] && code <= 0x10FFFF &&
                       (code < 0xD800 || code > 0xDFFF) && (code < 0x80 || code > 0x9F);
    return valid ? length : 0;
}

}  // namespace

std::string quotedName(std::string_view name) {
    bool plain = true;
    for (std::size_t at = 0; plain && at < name.size();) {
        const std::size_t length = printableLength(name.substr(at));
        plain = length != 0;
        at += length;
    }
    if (plain) {
        return std::string(name);
    }
    enum class Open { none, quote, escapes } open = Open::none;
    std::string quoted;
    const auto enter = [&](Open wanted) {
        if (open != wanted && open != Open::none) {
            quoted += '\'';
        }
        if (open != wanted && wanted != Open::none) {
            quoted += wanted == Open::quote ? "'" : "$'";
        }
        open = wanted;
    };
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = printableLength(name.substr(at));
        if (length == 0) {
            enter(Open::escapes);
            const auto byte = static_cast<unsigned char>(name[at++]);
            if (byte == '\n' || byte == '\t' || byte == '\r') {
                quoted += byte == '\n' ? "\\n" : byte == '\t' ? "\\t" : "\\r";
            } else {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\%03o", byte);
                quoted += escape;
            }
        } else if (name[at] == '\'') {
            enter(Open::none);
            quoted += "\\'";
            ++at;
        } else {
            enter(Open::quote);
            quoted.append(name.substr(at, length));
            at += length;
        }
    }
    enter(Open::none);
    return quoted;
}

std::string compressedName(std::string_view source) {
    std::string name(source);
    name += kCompressedSuffix;
    return name;
}

bool hasCompressedSuffix(std::string_view name) {
#ifdef _WIN32
    if (name.size() < kCompressedSuffix.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - kCompressedSuffix.size());
    return std::equal(end.begin(), end.end(), kCompressedSuffix.begin(),
                      [](char a, char b) { return asciiUpper(a) == asciiUpper(b); });
#else
    return name.ends_with(kCompressedSuffix);
#endif
}

std::optional<std::string> reservedDeviceName(std::string_view name) {
    std::string_view stem = name.substr(name.find_last_of("/\\:") + 1);
    stem = stem.substr(0, stem.find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    std::string upper;
    for (const char c : stem) {
        upper += asciiUpper(c);
    }
    const bool numbered = upper.size() == 4 && upper[3] >= '1' && upper[3] <= '9' &&
                          (upper.starts_with("COM") || upper.starts_with("LPT"));
    if (numbered || upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return upper;
    }
    return std::nullopt;
}

std::optional<std::string> restoredName(std::string_view compressed) {
    std::size_t end = compressed.size();
    for (std::size_t removed = 0; removed < kCompressedSuffix.size(); ++removed) {
        if (end == 0) {
            return std::nullopt;
        }
        // Step back over one code point: its continuation bytes, then its lead byte.
        std::size_t start = end - 1;
        while (start > 0 && isContinuationByte(compressed[start]) && end - start < 4) {
            --start;
        }
        if (isContinuationByte(compressed[start])) {
            start = end - 1;  // no lead byte within reach: one stray byte is one character
        }
        end = start;
    }
    return std::string(compressed.substr(0, end));
}

}  // namespace lzc
