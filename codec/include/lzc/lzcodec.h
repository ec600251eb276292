// The file frame: compress or restore one file into another.
//
// Each operation reads its source whole (a compressed source only up to kMaxStreamSize bytes),
// runs the in-memory codec, and only when that has succeeded writes the destination whole
// through the file layer (lzc/file_io.h), which gives it the source's permission bits. A failed
// operation therefore leaves the destination exactly as it was, and a replaced destination never
// keeps bytes of its old content. Running out of memory fails the operation, never the caller.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "lzc/codec.h"
#include "lzc/file_io.h"
#include "lzc/progress.h"
#include "lzc/status.h"

namespace lzc {

struct Outcome {
    Status status = Status::ok;
    // errno of the failing system call, for readFailed and writeFailed; 0 otherwise.
    int systemError = 0;
    // Compression only: the size figure of compressionRatio().
    std::int32_t ratio = 0;
    // Metadata the written file could not be given; the operation succeeded all the same.
    std::vector<fileio::MetadataWarning> warnings;
};

// Reads a source whole: sourceMissing, sourceNotRegular, sourceTooLarge (more than `limit`
// bytes), readFailed or outOfMemory, else ok with the bytes in `bytes` (left as it was on
// failure).
Outcome readSourceFile(const std::filesystem::path& name, std::size_t limit,
                       std::vector<std::uint8_t>& bytes);
// The same for an open descriptor (standard input, say).
Outcome readSourceStream(int fd, std::size_t limit, std::vector<std::uint8_t>& bytes);

// Asked once the new bytes are ready, only when the destination is an existing regular file
// whose bytes differ from them: true replaces it, false leaves it untouched and the operation
// ends with Status::cancelled. Without it an existing destination is replaced unasked.
using ConfirmReplace = std::function<bool()>;

// Compresses `source` into `destination` with the search window `window`; `progress` and
// `interval` as for Compressor::compress. The status is readSourceFile's, the codec's,
// cancelled or writeFailed; on success the ratio is compressionRatio()'s. The write options'
// metadataSource is always `source`.
Outcome compressFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                     const ProgressCallback& progress, std::int32_t interval, std::int32_t window,
                     const fileio::WriteOptions& writeOptions = {},
                     const ConfirmReplace& confirmReplace = {});

// Restores `source` into `destination`, as compressFile does; a source longer than
// kMaxStreamSize gives streamTooLong. `progress` and `interval` as for decompressBuffer.
Outcome decompressFile(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const ProgressCallback& progress,
                       std::int32_t interval, const fileio::WriteOptions& writeOptions = {},
                       const ConfirmReplace& confirmReplace = {});

}  // namespace lzc
