// Generated sources for the tests and the benchmark: ordinary kinds of data, the brute-force
// search's worst cases and sources crafted against the fast searches. Each is the same for the
// same arguments on every system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellicor::testdata {

using Bytes = std::vector<std::uint8_t>;

// `count` bytes from an alphabet of `alphabet` values starting at `first`.
Bytes randomBytes(std::size_t count, std::uint32_t seed, int alphabet = 256,
                  std::uint8_t first = 0);
// English-like words separated by spaces and line breaks.
Bytes textLike(std::size_t count, std::uint32_t seed);
// Runs of one byte, each of random length (1 to 40) and value.
Bytes runs(std::size_t count, std::uint32_t seed);
// A random block of `period` bytes repeated.
Bytes periodic(std::size_t count, std::size_t period, std::uint32_t seed);
// 4-byte words from a set of `words`, each followed by one byte of a counter: the words recur
// all the time, but the match they start rarely reaches a fifth byte.
Bytes repeatedWords(std::size_t count, std::uint32_t seed, int words = 8);
// "abcd" and a 2-byte counter: every 6 bytes a 4-byte match that goes no further.
Bytes fourBytesAndCounter(std::size_t count);
// A de Bruijn sequence over 4 letters of order 7, repeated: within each 16384 letters every
// 7-letter string occurs once, so matches stay short and candidates many.
Bytes deBruijn(std::size_t count);
// A long run of one byte, then short copies of its start, each extended by a new byte.
Bytes runThenExtensions(std::size_t count, std::uint32_t seed);
// A random sequence of two 8-byte blocks that differ in one byte.
Bytes twoNearlyEqualBlocks(std::size_t count, std::uint32_t seed);
// Runs of one byte broken by single other bytes, the pattern repeating every 2.4 KiB.
Bytes brokenRuns(std::size_t count);
// Text, then its last 8 KiB replaced by twoNearlyEqualBlocks.
Bytes textThenBlocks(std::size_t count, std::uint32_t seed);
// Records of one fixed `prefix` bytes followed by `noise` random bytes.
Bytes fixedPrefixRecords(std::size_t count, std::size_t prefix, std::size_t noise,
                         std::uint32_t seed);
// Every 5-byte string occurs once, yet most earlier positions agree with any later one on 1 to
// 3 bytes: the brute-force search's worst case for its byte comparisons.
Bytes uniqueFiveByteStrings(std::size_t count, std::uint32_t seed);

struct NamedSource {
    std::string name;
    Bytes bytes;
    bool bruteForceBaseline = false;  // the benchmark also times the brute force on it
};

// The benchmark's inputs, each kMaxSource bytes: files of the system and of the project (at
// `sourceDir`; a file that cannot be read is left out), then generated ones.
inline constexpr std::size_t kMaxSource = 32767;
std::vector<NamedSource> benchmarkSources(const std::string& sourceDir);

}  // namespace vellicor::testdata
