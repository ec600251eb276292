// The worked vectors of docs/format.md, checked against the codec in both directions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "lzc/codec.h"
#include "test_support.h"

namespace lzc::test {
namespace {

Bytes hexBytes(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

// The next '|'-separated field of a vector line, without surrounding spaces.
std::string field(std::istream& line) {
    std::string text;
    std::getline(line, text, '|');
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

TEST(FormatDocument, WorkedVectorsHoldBothWays) {
    std::ifstream doc(LZC_FORMAT_DOC);
    std::string line;
    while (std::getline(doc, line) && line != "```lzc-vectors") {
    }
    int vectors = 0;
    while (std::getline(doc, line) && line != "```") {
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        std::istringstream in(line);
        const std::string window = field(in), source = field(in), stream = field(in);
        SCOPED_TRACE(line);
        NoProgress progress;
        Bytes out;
        if (window != "-") {
            ASSERT_EQ(compressBuffer(hexBytes(source), std::stoi(window), out, progress),
                      Status::ok);
            EXPECT_EQ(out, hexBytes(stream));
        }
        const Status status = decompressBuffer(hexBytes(stream), out, progress);
        if (source == "refused") {
            EXPECT_NE(status, Status::ok);
            EXPECT_TRUE(out.empty());
        } else {
            EXPECT_EQ(status, Status::ok);
            EXPECT_EQ(out, hexBytes(source));
        }
        ++vectors;
    }
    EXPECT_GE(vectors, 18);
}

}  // namespace
}  // namespace lzc::test
