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

}  // namespace
}  // namespace lzc::test
