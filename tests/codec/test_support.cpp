#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#ifdef VELLICOR_COVERAGE_BUILD
extern "C" void __gcov_dump(void);
#endif

namespace lzc::test {

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes repeated(std::uint8_t value, std::size_t count) {
    return Bytes(count, value);
}

ScratchDir::ScratchDir() {
    // create_directory reports whether it made the directory: a name already taken is retried.
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("vellicor-test-" + std::to_string(entropy()));
        if (std::filesystem::create_directory(candidate)) {
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all);
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeBytes(const std::filesystem::path& name, std::span<const std::uint8_t> bytes) {
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + name.string());
    }
}

Bytes readBytes(const std::filesystem::path& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + name.string());
    }
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> listDirectory(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void flushCoverage() {
#ifdef VELLICOR_COVERAGE_BUILD
    __gcov_dump();
#endif
}

}  // namespace lzc::test
