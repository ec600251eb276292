// Suffix sorting for the match index: the suffix array of a source of up to kMaxSourceSize
// bytes, in linear time whatever the input.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lzc::detail {

// Sorts suffixes by induced sorting (SA-IS); keeps its buffers from one source to the next.
class SuffixSorter {
public:
    // Sorts the suffixes of `text` (1 ... kMaxSourceSize bytes), a shorter suffix before a
    // longer one it is a prefix of: sa[k] is the 0-based start of the k-th smallest suffix and
    // rank[p] the rank of the suffix at p. Both are resized to text.size(), sa with one
    // scratch slot more.
    void sort(std::span<const std::uint8_t> text, std::vector<std::uint16_t>& sa,
              std::vector<std::uint16_t>& rank);

private:
    std::vector<std::int32_t> induced_;
    std::vector<std::uint8_t> types_;
    std::vector<std::int32_t> leftmost_;
};

}  // namespace lzc::detail
