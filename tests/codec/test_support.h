// Helpers shared by the tests: byte literals, the generated sources, scratch directories and a
// child process without root's privileges.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "generated_sources.h"

// Defined in a build under AddressSanitizer, whose shadow memory needs more address space than a
// memory limit leaves.
#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif

namespace lzc::test {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text);
Bytes repeated(std::uint8_t value, std::size_t count);
using vellicor::testdata::periodic;
using vellicor::testdata::randomBytes;
using vellicor::testdata::repeatedWords;
using vellicor::testdata::runs;
using vellicor::testdata::textLike;

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& name, std::span<const std::uint8_t> bytes);
Bytes readBytes(const std::filesystem::path& name);
// Names of all entries in a directory, sorted.
std::vector<std::string> listDirectory(const std::filesystem::path& directory);

// In a coverage build, writes the counters of a child process that is about to end with _exit
// (which skips the writing a normal exit does); otherwise does nothing.
void flushCoverage();

}  // namespace lzc::test
