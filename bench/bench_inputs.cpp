#include "bench_inputs.h"

#include <algorithm>
#include <random>

#include "lzc/file_io.h"
#include "lzc/format.h"

namespace vellicor::bench {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kSize = static_cast<std::size_t>(lzc::kMaxSourceSize);

// A file's first kSize bytes; empty when it cannot be read.
Bytes fileStart(const std::string& name) {
    lzc::fileio::ReadResult read = lzc::fileio::readFile(name, std::size_t{1} << 26);
    if (read.problem != lzc::fileio::ReadProblem::none &&
        read.problem != lzc::fileio::ReadProblem::tooLarge) {
        return {};
    }
    read.bytes.resize(std::min(read.bytes.size(), kSize));
    return read.bytes;
}

// The project's own sources, one after another, cut to kSize.
Bytes projectSources(const std::string& dir) {
    Bytes all;
    for (const char* name :
         {"codec/src/match_index.cpp", "codec/src/chain_search.cpp", "codec/src/suffix_array.cpp",
          "codec/src/compressor.cpp", "codec/src/decompressor.cpp", "files/src/file_io_posix.cpp",
          "files/src/file_operation.cpp", "codec/src/match_index.h",
          "codec/include/lzc/format.h"}) {
        const Bytes part = fileStart(dir + "/" + name);
        all.insert(all.end(), part.begin(), part.end());
    }
    all.resize(std::min(all.size(), kSize));
    return all;
}

Bytes randomBytes(std::uint32_t seed, int alphabet, std::uint8_t first = 0) {
    std::mt19937 generator(seed);
    Bytes bytes(kSize);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(first + generator() % static_cast<unsigned>(alphabet));
    }
    return bytes;
}

Bytes textLike(std::uint32_t seed) {
    static const char* const kWords[] = {
        "the",   "file",   "window",  "compress", "of",     "and",      "a",      "match",
        "byte",  "run",    "literal", "position", "to",     "is",       "stream", "quality",
        "level", "search", "bar",     "track",    "source", "restored", "in",     "that"};
    std::mt19937 generator(seed);
    Bytes bytes;
    while (bytes.size() < kSize) {
        const std::string word = kWords[generator() % std::size(kWords)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        bytes.push_back(generator() % 12 == 0 ? '\n' : ' ');
    }
    bytes.resize(kSize);
    return bytes;
}

Bytes runs(std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes;
    while (bytes.size() < kSize) {
        bytes.insert(bytes.end(), 1 + generator() % 40, static_cast<std::uint8_t>(generator()));
    }
    bytes.resize(kSize);
    return bytes;
}

Bytes periodic(std::size_t period, std::uint32_t seed) {
    const Bytes block = randomBytes(seed, 256);
    Bytes bytes(kSize);
    for (std::size_t i = 0; i < kSize; ++i) {
        bytes[i] = block[i % period];
    }
    return bytes;
}

// "abcd" and a 2-byte counter, again and again: every 6 bytes a 4-byte match that goes no
// further for the brute force to count out against every earlier copy.
Bytes fourBytesAndCounter() {
    Bytes bytes;
    for (std::uint32_t k = 0; bytes.size() < kSize; ++k) {
        bytes.insert(bytes.end(), {'a', 'b', 'c', 'd', static_cast<std::uint8_t>(k >> 8),
                                   static_cast<std::uint8_t>(k)});
    }
    bytes.resize(kSize);
    return bytes;
}

// A de Bruijn sequence over 4 letters of order 7 (16384 letters), twice: within each period
// every 7-letter string occurs once, so matches stay short and candidates many.
Bytes deBruijn() {
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
    Bytes bytes(kSize);
    for (std::size_t i = 0; i < kSize; ++i) {
        bytes[i] = sequence[i % sequence.size()];
    }
    return bytes;
}

// Against hash chains: a long run of one byte, then many short copies of its start, each
// extended by a byte not seen there before.
Bytes runThenExtensions(std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(kSize / 2, 'a');
    while (bytes.size() < kSize) {
        bytes.insert(bytes.end(), 4 + generator() % 60, 'a');
        bytes.push_back(static_cast<std::uint8_t>('b' + generator() % 200));
    }
    bytes.resize(kSize);
    return bytes;
}

// Against hash chains: a random sequence of two 8-byte blocks that differ in one byte.
Bytes twoNearlyEqualBlocks(std::uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes first(8);
    for (auto& byte : first) {
        byte = static_cast<std::uint8_t>(generator());
    }
    Bytes second = first;
    second[5] ^= 0x5A;
    Bytes bytes;
    while (bytes.size() < kSize) {
        const Bytes& block = generator() % 2 == 0 ? first : second;
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    bytes.resize(kSize);
    return bytes;
}

// Runs of one byte broken by single other bytes: every position inside a run starts the same
// 4 bytes, and each run ends differently.
Bytes brokenRuns() {
    Bytes bytes;
    for (std::uint32_t k = 0; bytes.size() < kSize; ++k) {
        bytes.insert(bytes.end(), 3 + k * 7 % 29, 'a');
        bytes.push_back(static_cast<std::uint8_t>('b' + k % 5));
    }
    bytes.resize(kSize);
    return bytes;
}

// Against the hand-over: ordinary text until near the end, then long chains, so that the
// chain walk spends most of its allowance before the suffix-array index takes over.
Bytes textThenBlocks(std::uint32_t seed) {
    Bytes bytes = textLike(seed);
    const Bytes blocks = twoNearlyEqualBlocks(seed);
    std::copy(blocks.begin(), blocks.begin() + 8192, bytes.end() - 8192);
    return bytes;
}

}  // namespace

std::vector<Input> benchmarkInputs(const std::string& sourceDir) {
    std::vector<Input> inputs = {
        {"license text", fileStart("/usr/share/common-licenses/GPL-3"), true},
        {"ELF binary", fileStart("/bin/ls"), false},
        {"project sources", projectSources(sourceDir), false},
        {"random bytes", randomBytes(1, 256), true},
        {"text-like", textLike(2), false},
        {"four letters", randomBytes(3, 4, 'a'), true},
        {"two letters", randomBytes(4, 2, 'a'), false},
        {"runs", runs(5), false},
        {"one byte", Bytes(kSize, 'a'), false},
        {"period 7", periodic(7, 6), false},
        {"abcd+counter", fourBytesAndCounter(), true},
        {"de Bruijn", deBruijn(), true},
        {"run+extensions", runThenExtensions(7), false},
        {"broken runs", brokenRuns(), false},
        {"two 8-byte blocks", twoNearlyEqualBlocks(8), false},
        {"text, then blocks", textThenBlocks(9), false},
    };
    std::erase_if(inputs, [](const Input& input) { return input.bytes.empty(); });
    return inputs;
}

}  // namespace vellicor::bench
