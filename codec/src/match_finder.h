// The compressor's longest-match search behind one type, and the compression entry point that
// lets tests, fuzzers and the benchmark choose the search. Private to the codec and its tools.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "chain_search.h"
#include "find_match.h"
#include "lzc/codec.h"
#include "match_index.h"

namespace lzc {

// Which search answers the compressor. All give the same output, byte for byte.
enum class MatchSearch : int {
    bruteForce,       // FindMatch, the reference: up to window x match length steps a position
    indexed,          // the chain walk while it stays cheap, then the suffix-array index
    suffixArrayOnly,  // the index from the start
    chainsOnly,       // the chain walk without a budget, long keys from the start (slow at worst)
    handOverEarly,    // the chain walk with a tiny budget, then the index (for tests)
};

// The chain walk and the index, and the one block of memory that serves the chain walk and,
// after the hand-over (which is for good), the index in its place. The block is not initialized:
// pages never touched cost nothing. A Compressor keeps it from one source to the next.
struct SearchMemory {
    std::unique_ptr<std::uint16_t[]> words;
    std::size_t size = 0;
    ChainSearch chain;
    MatchIndex index;
    std::span<std::uint16_t> span() { return {words.get(), size}; }
};

// Answers the searches over one source: runs the chain walk, the index and the hand-over from
// one to the other in `memory`.
class MatchFinder {
public:
    // `source` (1 ... 32767 bytes) must stay as it is, and `memory` unused by anything else,
    // while the finder is in use.
    MatchFinder(std::span<const std::uint8_t> source, MatchSearch search, SearchMemory& memory);
    MatchFinder(const MatchFinder&) = delete;
    MatchFinder& operator=(const MatchFinder&) = delete;

    // Sets state.matchLength and state.matchPosition as FindMatch(searchStart, searchEnd, cur)
    // does whenever that length is at least `shortest` (4 or more); otherwise to a shorter
    // length and position 0. Successive calls must not move searchStart or cur back.
    void find(CodecState& state, std::int32_t searchStart, std::int32_t searchEnd, std::int32_t cur,
              std::int32_t shortest);

    // The work of the searches so far, which the bound in docs/performance.md limits: chain
    // links followed and index steps (building either is a fixed number of passes, not counted).
    struct Work {
        std::int64_t links = 0, indexSteps = 0;
    };
    Work work() const;

    // The bound on work(), whatever the bytes: after `searches` calls of find(), the last at
    // cur, in a source of `length` bytes.
    static Work mostWork(std::int64_t searches, std::int32_t cur, std::int32_t length);

private:
    std::span<const std::uint8_t> source_;
    CodecState reference_;  // the brute force's copy of the source
    SearchMemory& memory_;
    MatchSearch search_;
    bool indexBuilt_ = false;
};

// What a Compressor owns: the search memory, kept from one source to the next, and whether a
// compression is running (a call from inside its progress callback is refused). Tests, fuzzers
// and the benchmark compress with one directly to choose the search.
struct CompressorCore {
    SearchMemory memory;
    bool running = false;
};

// Compressor::compress with a chosen search.
Status compressWith(CompressorCore& compressor, MatchSearch search,
                    std::span<const std::uint8_t> source, std::int32_t window,
                    std::vector<std::uint8_t>& out, const ProgressCallback& progress = {},
                    std::int32_t interval = kDefaultProgressInterval);

}  // namespace lzc
