// The benchmark's inputs: real files cut to the format's limit and generated sources, among
// them the brute-force search's worst cases and sources crafted against the indexed search.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellicor::bench {

struct Input {
    std::string name;
    std::vector<std::uint8_t> bytes;
    bool bruteForceBaseline = false;  // also time the brute-force search on it
};

// `sourceDir` is the project's top directory, for its own sources.
std::vector<Input> benchmarkInputs(const std::string& sourceDir);

}  // namespace vellicor::bench
