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

// Each line of the block is "window | source | stream": a window compresses the source to the
// stream, "-" decodes only; the source "refused" means the decoder must refuse the stream.
TEST(FormatDocument, WorkedVectorsHoldBothWays) {
    std::ifstream doc(LZC_FORMAT_DOC);
    std::string line;
    while (std::getline(doc, line) && line != "```lzc-vectors") {
    }
    int vectors = 0;
    while (std::getline(doc, line) && line != "```") {
        if (line.starts_with('#')) {
            continue;
        }
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        std::string window, source, stream;
        std::getline(std::getline(std::getline(fields, window, '|'), source, '|'), stream);
        NoProgress progress;
        Bytes out;
        if (window.find('-') == std::string::npos) {
            ASSERT_EQ(compressBuffer(hexBytes(source), std::stoi(window), out, progress),
                      Status::ok);
            EXPECT_EQ(out, hexBytes(stream));
        }
        const bool refused = source.find("refused") != std::string::npos;
        EXPECT_EQ(decompressBuffer(hexBytes(stream), out, progress) == Status::ok, !refused);
        EXPECT_EQ(out, refused ? Bytes{} : hexBytes(source));
        ++vectors;
    }
    EXPECT_GE(vectors, 18);
}

}  // namespace
}  // namespace lzc::test
