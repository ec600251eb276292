// The in-memory codec: bytes in, bytes out. No files, no messages, no exceptions.
//
// Thread safety: a Compressor is used by one thread at a time; distinct Compressors may be used
// at the same time from different threads. Decompression and compressionRatio() need no object
// and may be called from any thread at any time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "lzc/format.h"
#include "lzc/progress.h"
#include "lzc/quality.h"
#include "lzc/status.h"

namespace lzc {

struct CompressorCore;  // the match search's memory and the running flag, private to the codec

// Compresses sources one after another. It owns the match search's memory (under 1 MiB,
// allocated by the first compression and grown for a longer source), which every later
// compression reuses: make one for a batch of files. Moving one moves that memory.
class Compressor {
public:
    Compressor();
    ~Compressor();
    Compressor(Compressor&&) noexcept;
    Compressor& operator=(Compressor&&) noexcept;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Compresses `source` (1 ... kMaxSourceSize bytes, read where it lies) into `out`, replacing
    // what `out` held. `searchWindow` (1 ... kMaxSourceSize, see lzc/quality.h) is how many
    // positions back a repeat may start. `progress` (see lzc/progress.h) counts source bytes.
    // Returns ok; emptyInput or sourceTooLarge for a source of the wrong size; outOfMemory; or
    // busy when called from inside this object's own progress callback, which leaves `out` as it
    // was (it may be the running call's own). On any other failure `out` is left empty; the
    // object stays usable.
    Status compress(std::span<const std::uint8_t> source, std::int32_t searchWindow,
                    std::vector<std::uint8_t>& out, const ProgressCallback& progress = {},
                    std::int32_t interval = kDefaultProgressInterval);

private:
    std::unique_ptr<CompressorCore> core_;  // made by the first compression
};

// Restores `stream` into `out`, replacing what `out` held. Never reads outside `stream` and never
// writes outside `out`, whatever the stream holds. `progress` (see lzc/progress.h) counts stream
// bytes. Returns ok; emptyInput for an empty stream; invalidStream for a stream longer than
// kMaxStreamSize, a match that starts at position 0 or beyond the bytes restored so far, a token
// cut off by the end of the stream, or restored data longer than kMaxSourceSize; or outOfMemory.
// On failure `out` is left empty. A stream whose tokens restore nothing (such as 80 00) gives ok
// and an empty `out`.
Status decompressBuffer(std::span<const std::uint8_t> stream, std::vector<std::uint8_t>& out,
                        const ProgressCallback& progress = {},
                        std::int32_t interval = kDefaultProgressInterval);

// The size figure reported after compression, in hundredths of a percent:
// floor((compressed + 1) / (source + 1) * 10000), the division done first. A figure that does
// not fit in 32 bits (only a stream far longer than what it restores gets there) saturates at
// 2147483647, the largest int32_t.
std::int32_t compressionRatio(std::size_t sourceSize, std::size_t compressedSize);

}  // namespace lzc
