// How names are made and shown.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "lzc/naming.h"

namespace lzc::test {
namespace {

TEST(Naming, NamesThatCouldBreakALineAreQuotedAsAShellReadsThem) {
    const std::pair<std::string, std::string> cases[] = {
        {"notes.txt", "notes.txt"},
        {"it's a file", "it's a file"},
        {"gr\xC3\xBC\xC3\x9F", "gr\xC3\xBC\xC3\x9F"},  // valid UTF-8 stays
        {"evil\nlzc: passwd: compressed OK", "'evil'$'\\n''lzc: passwd: compressed OK'"},
        {"a\tb\rc", "'a'$'\\t''b'$'\\r''c'"},
        {"bell\x07\x7F", "'bell'$'\\007\\177'"},
        {"bad\xFF", "'bad'$'\\377'"},             // invalid UTF-8
        {"c1\xC2\x85", "'c1'$'\\302\\205'"},      // U+0085, a C1 control
        {"over\xC0\xAF", "'over'$'\\300\\257'"},  // an overlong encoding
        {"it's\n", "'it'\\''s'$'\\n'"},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(quotedName(name), shown) << name;
    }
}

TEST(Naming, TheSuffixIgnoresLetterCaseOnWindowsOnly) {
#ifdef _WIN32
    constexpr bool kAnyCase = true;
#else
    constexpr bool kAnyCase = false;
#endif
    const std::pair<std::string, bool> cases[] = {
        {"notes.txt.lzc", true}, {"NOTES.TXT.LZC", kAnyCase}, {"a.Lzc", kAnyCase},
        {"lzc", false},          {"notes.lzcx", false},
    };
    for (const auto& [name, suffixed] : cases) {
        EXPECT_EQ(hasCompressedSuffix(name), suffixed) << name;
    }
}

TEST(Naming, DeviceNamesAreTheStemOfTheLastComponentInAnyCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"NUL", "NUL"},
        {"aux.lzc", "AUX"},
        {"dir\\Con.txt.lzc", "CON"},
        {"d/prn  .txt", "PRN"},
        {"com1", "COM1"},
        {"LPT9.lzc", "LPT9"},
        {"c:nul", "NUL"},
        {"com0", ""},
        {"com10", ""},
        {"auxiliary.lzc", ""},
        {"aux/notes.txt.lzc", ""},
        {"notes.aux", ""},
    };
    for (const auto& [name, device] : cases) {
        EXPECT_EQ(reservedDeviceName(name).value_or(""), device) << name;
    }
}

}  // namespace
}  // namespace lzc::test
