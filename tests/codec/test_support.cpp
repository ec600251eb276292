#include "test_support.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

namespace lzc::test {

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
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(pick(generator));
    }
    return bytes;
}

Bytes textLike(std::size_t count, std::uint32_t seed) {
    static const char* const kWords[] = {
        "the",     "file",  "window", "compress", "of",  "and",   "a",      "match",
        "literal", "run",   "byte",   "position", "to",  "is",    "stream", "restored",
        "quality", "level", "search", "progress", "bar", "track", "source", "destination"};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<std::size_t> pickWord(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> pickBreak(0, 11);
    Bytes bytes;
    while (bytes.size() < count) {
        const std::string_view word = kWords[pickWord(generator)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        bytes.push_back(pickBreak(generator) == 0 ? '\n' : ' ');
    }
    bytes.resize(count);
    return bytes;
}

Bytes runs(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> pickLength(1, 40);
    std::uniform_int_distribution<int> pickValue(0, 255);
    Bytes bytes;
    while (bytes.size() < count) {
        bytes.insert(bytes.end(), static_cast<std::size_t>(pickLength(generator)),
                     static_cast<std::uint8_t>(pickValue(generator)));
    }
    bytes.resize(count);
    return bytes;
}

Bytes periodic(std::size_t count, std::size_t period, std::uint32_t seed) {
    const Bytes block = randomBytes(period, seed);
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = block[i % period];
    }
    return bytes;
}

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vellicor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    path_ = pattern;
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

int runUnprivileged(const std::function<int()>& action) {
    if (::geteuid() != 0) {
        return action();
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        constexpr gid_t kNoGroup = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNoGroup, kNoGroup, kNoGroup) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            ::_exit(255);
        }
        ::_exit(action() & 0x7F);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace lzc::test
