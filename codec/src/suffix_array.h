// Suffix sorting for the match index: the suffix array of a source of up to 32767 bytes, in
// linear time whatever the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace lzc::detail {

// Bytes of scratch memory sortSuffixes() needs for `length` bytes.
std::size_t suffixSortScratch(std::size_t length);

// Sorts the suffixes of `text` by induced sorting (SA-IS), a shorter suffix before a longer one
// it is a prefix of: sa[k] is the 0-based start of the k-th smallest suffix and rank[p] the rank
// of the suffix at p (text.size() entries each). `scratch` is untyped: the sorter creates its
// own arrays there.
void sortSuffixes(std::span<const std::uint8_t> text, std::uint16_t* sa, std::uint16_t* rank,
                  std::span<std::byte> scratch);

}  // namespace lzc::detail
