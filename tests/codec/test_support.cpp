#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#ifdef VELLICOR_COVERAGE_BUILD
extern "C" void __gcov_dump(void);
#endif

namespace lzc::test {
namespace {

// Calls `append(bytes)` until there are at least `count` bytes, then cuts them to `count`.
template <class Append>
Bytes grown(std::size_t count, Append append) {
    Bytes bytes;
    while (bytes.size() < count) {
        append(bytes);
    }
    bytes.resize(count);
    return bytes;
}

}  // namespace

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes repeated(std::uint8_t value, std::size_t count) {
    return Bytes(count, value);
}

Bytes randomBytes(std::size_t count, std::uint32_t seed, int alphabet) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    Bytes bytes(count);
    std::generate(bytes.begin(), bytes.end(),
                  [&] { return static_cast<std::uint8_t>(pick(generator)); });
    return bytes;
}

Bytes textLike(std::size_t count, std::uint32_t seed) {
    static const std::string_view kWords[] = {
        "the",     "file",  "window", "compress", "of",  "and",   "a",      "match",
        "literal", "run",   "byte",   "position", "to",  "is",    "stream", "restored",
        "quality", "level", "search", "progress", "bar", "track", "source", "destination"};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::size_t> pickWord(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> pickBreak(0, 11);
    return grown(count, [&](Bytes& bytes) {
        const std::string_view word = kWords[pickWord(generator)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        bytes.push_back(pickBreak(generator) == 0 ? '\n' : ' ');
    });
}

Bytes runs(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pickLength(1, 40);
    std::uniform_int_distribution<int> pickValue(0, 255);
    return grown(count, [&](Bytes& bytes) {
        const auto value = static_cast<std::uint8_t>(pickValue(generator));
        bytes.insert(bytes.end(), static_cast<std::size_t>(pickLength(generator)), value);
    });
}

Bytes periodic(std::size_t count, std::size_t period, std::uint32_t seed) {
    const Bytes block = randomBytes(period, seed);
    return grown(count,
                 [&](Bytes& bytes) { bytes.insert(bytes.end(), block.begin(), block.end()); });
}

Bytes repeatedWords(std::size_t count, std::uint32_t seed, int words) {
    const Bytes vocabulary = randomBytes(4 * static_cast<std::size_t>(words), seed);
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::size_t> pickWord(0, static_cast<std::size_t>(words) - 1);
    std::uint8_t counter = 0;
    return grown(count, [&](Bytes& bytes) {
        const auto word = vocabulary.begin() + static_cast<std::ptrdiff_t>(4 * pickWord(generator));
        bytes.insert(bytes.end(), word, word + 4);
        bytes.push_back(counter++);
    });
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
