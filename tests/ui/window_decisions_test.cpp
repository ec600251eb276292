// The window's decisions without a toolkit: names, the ratio text, the edited quality box.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "vellicor/decisions.h"
#include "vellicor/path_text.h"

namespace vellicor {
namespace {

TEST(WindowDecisions, DecompressionDropsTheLastFourCodePoints) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"report.doc.lzc", "report.doc"},
        {"archive.bin", "archive"},
        {"abcd", std::nullopt},  // nothing left: refused
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"отчёт.lzc", "отчёт"},
        {"a\xF0\x9F\x98\x80.lz", "a"},  // U+1F600 is one character but four bytes
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", std::nullopt},
    };
    for (const auto& [source, destination] : cases) {
        EXPECT_EQ(decompressionDestination(source), destination) << source;
    }
}

TEST(WindowDecisions, RatioText) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {8333, " 83.33"}, {4560, " 45.6"}, {10000, " 100"},
        {20000, " 200"},  {3, " .03"},     {50, " .5"},
        {101, " 1.01"},   {0, " 0"},       {2147483647, " 21474836.47"},
        {-250, "-2.5"},
    };
    for (const auto& [ratio, text] : cases) {
        EXPECT_EQ(ratioText(ratio), text) << ratio;
    }
}

TEST(WindowDecisions, EditedQualityBoxSelectsNoItem) {
    const std::pair<QualityBox, int> cases[] = {
        {{0, "Optimal"}, 0},  {{5, "Very Poor!"}, 5}, {{0, "optimal"}, -1},
        {{3, "Optimal"}, -1}, {{-1, ""}, -1},         {{6, ""}, -1},
    };
    for (const auto& [box, index] : cases) {
        EXPECT_EQ(qualityIndex(box), index) << box.index << " " << box.text;
    }
}

TEST(WindowDecisions, AbsoluteNameAsMessagesShowIt) {
    const std::string here = utf8FromPath(std::filesystem::current_path());
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"/d/a", "/d/a"},
        {"/d/./b//../a", "/d/a"},
        {"/d/", "/d/"},
        {"/d/.", "/d"},
        {"/", "/"},
        {"a b", here + "/a b"},
        {".", here},
        {"отчёт", here + "/отчёт"},
    };
    for (const auto& [name, absolute] : cases) {
        EXPECT_EQ(absoluteName(name), absolute) << name;
    }
}

}  // namespace
}  // namespace vellicor
