#include "generated_sources.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>

namespace vellicor::testdata {
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

// A file's first kMaxSource bytes; empty when it cannot be read.
Bytes fileStart(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    Bytes bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>{});
    bytes.resize(file.bad() ? 0 : std::min(bytes.size(), kMaxSource));
    return bytes;
}

// The project's own sources as they stood once, one after another (the codec's search and the
// file layer), frozen so that the input stays the same as the code changes.
Bytes projectSources(const std::string& dir) {
    return fileStart(dir + "/testdata/project_sources.bin");
}

}  // namespace

Bytes randomBytes(std::size_t count, std::uint32_t seed, int alphabet, std::uint8_t first) {
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(first + generator() % static_cast<unsigned>(alphabet));
    }
    return bytes;
}

Bytes textLike(std::size_t count, std::uint32_t seed) {
    static constexpr std::string_view kWords[] = {
        "the",   "file",   "window",  "compress", "of",     "and",      "a",      "match",
        "byte",  "run",    "literal", "position", "to",     "is",       "stream", "quality",
        "level", "search", "bar",     "track",    "source", "restored", "in",     "that"};
    std::mt19937 generator(seed);
    return grown(count, [&](Bytes& bytes) {
        const std::string_view word = kWords[generator() % std::size(kWords)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        bytes.push_back(generator() % 12 == 0 ? '\n' : ' ');
    });
}

Bytes runs(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    return grown(count, [&](Bytes& bytes) {
        bytes.insert(bytes.end(), 1 + generator() % 40, static_cast<std::uint8_t>(generator()));
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
    std::uint8_t counter = 0;
    return grown(count, [&](Bytes& bytes) {
        const auto word =
            vocabulary.begin() +
            static_cast<std::ptrdiff_t>(4 * (generator() % static_cast<unsigned>(words)));
        bytes.insert(bytes.end(), word, word + 4);
        bytes.push_back(counter++);
    });
}

Bytes fourBytesAndCounter(std::size_t count) {
    std::uint32_t k = 0;
    return grown(count, [&](Bytes& bytes) {
        bytes.insert(bytes.end(), {'a', 'b', 'c', 'd', static_cast<std::uint8_t>(k >> 8),
                                   static_cast<std::uint8_t>(k)});
        ++k;
    });
}

Bytes deBruijn(std::size_t count) {
    constexpr int kAlphabet = 4;
    constexpr int kOrder = 7;
    std::vector<int> word(kOrder + 1, 0);
    Bytes sequence;
    const auto extend = [&](auto&& self, int t, int p) -> void {
        if (t > kOrder) {
            if (kOrder % p == 0) {
                for (int j = 1; j <= p; ++j) {
                    sequence.push_back(
                        static_cast<std::uint8_t>("acgt"[word[static_cast<std::size_t>(j)]]));
                }
            }
            return;
        }
        word[static_cast<std::size_t>(t)] = word[static_cast<std::size_t>(t - p)];
        self(self, t + 1, p);
        for (int c = word[static_cast<std::size_t>(t - p)] + 1; c < kAlphabet; ++c) {
            word[static_cast<std::size_t>(t)] = c;
            self(self, t + 1, t);
        }
    };
    extend(extend, 1, 1);
    return grown(
        count, [&](Bytes& bytes) { bytes.insert(bytes.end(), sequence.begin(), sequence.end()); });
}

Bytes runThenExtensions(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(count / 2, 'a');
    while (bytes.size() < count) {
        bytes.insert(bytes.end(), 4 + generator() % 60, 'a');
        bytes.push_back(static_cast<std::uint8_t>('b' + generator() % 200));
    }
    bytes.resize(count);
    return bytes;
}

Bytes twoNearlyEqualBlocks(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes first(8);
    for (auto& byte : first) {
        byte = static_cast<std::uint8_t>(generator());
    }
    Bytes second = first;
    second[5] ^= 0x5A;
    return grown(count, [&](Bytes& bytes) {
        const Bytes& block = generator() % 2 == 0 ? first : second;
        bytes.insert(bytes.end(), block.begin(), block.end());
    });
}

Bytes brokenRuns(std::size_t count) {
    std::uint32_t k = 0;
    return grown(count, [&](Bytes& bytes) {
        bytes.insert(bytes.end(), 3 + k * 7 % 29, 'a');
        bytes.push_back(static_cast<std::uint8_t>('b' + k % 5));
        ++k;
    });
}

Bytes textThenBlocks(std::size_t count, std::uint32_t seed) {
    Bytes bytes = textLike(count, seed);
    const std::size_t tail = std::min<std::size_t>(count, 8192);
    const Bytes blocks = twoNearlyEqualBlocks(tail, seed);
    std::copy(blocks.begin(), blocks.end(), bytes.end() - static_cast<std::ptrdiff_t>(tail));
    return bytes;
}

Bytes fixedPrefixRecords(std::size_t count, std::size_t prefix, std::size_t noise,
                         std::uint32_t seed) {
    const Bytes head = randomBytes(prefix, seed);
    std::mt19937 generator(seed + 1);
    return grown(count, [&](Bytes& bytes) {
        bytes.insert(bytes.end(), head.begin(), head.end());
        for (std::size_t k = 0; k < noise; ++k) {
            bytes.push_back(static_cast<std::uint8_t>(generator()));
        }
    });
}

// Records of two fixed bytes and a 2-byte counter, low byte first: a record's start agrees with
// every earlier one on 2 bytes, with one in 256 on 3, and no 5 bytes occur twice.
Bytes uniqueFiveByteStrings(std::size_t count, std::uint32_t seed) {
    const Bytes head = randomBytes(2, seed);
    std::uint32_t k = 0;
    return grown(count, [&](Bytes& bytes) {
        bytes.insert(bytes.end(), {head[0], head[1], static_cast<std::uint8_t>(k),
                                   static_cast<std::uint8_t>(k >> 8)});
        ++k;
    });
}

std::vector<NamedSource> benchmarkSources(const std::string& sourceDir) {
    constexpr std::size_t n = kMaxSource;
    std::vector<NamedSource> sources = {
        {"license text", fileStart("/usr/share/common-licenses/GPL-3"), true},
        {"ELF binary", fileStart("/bin/ls"), false},
        {"project sources", projectSources(sourceDir), false},
        {"random bytes", randomBytes(n, 1), true},
        {"text-like", textLike(n, 2), false},
        {"four letters", randomBytes(n, 3, 4, 'a'), true},
        {"two letters", randomBytes(n, 4, 2, 'a'), false},
        {"runs", runs(n, 5), false},
        {"one byte", Bytes(n, 'a'), false},
        {"period 7", periodic(n, 7, 6), false},
        {"abcd+counter", fourBytesAndCounter(n), true},
        {"de Bruijn", deBruijn(n), true},
        {"run+extensions", runThenExtensions(n, 7), false},
        {"broken runs", brokenRuns(n), false},
        {"two 8-byte blocks", twoNearlyEqualBlocks(n, 8), false},
        {"text, then blocks", textThenBlocks(n, 9), false},
        {"4 fixed + 2 random", fixedPrefixRecords(n, 4, 2, 10), false},
        {"8 fixed + 8 random", fixedPrefixRecords(n, 8, 8, 11), false},
        {"unique 5-byte strings", uniqueFiveByteStrings(n, 12), true},
    };
    std::erase_if(sources, [](const NamedSource& source) { return source.bytes.empty(); });
    return sources;
}

}  // namespace vellicor::testdata
