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
#include <optional>
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

// A source as read: its bytes and, for a file, what its descriptor said about it.
struct Source {
    std::vector<std::uint8_t> bytes;
    std::optional<fileio::FileFacts> facts;
};

// Reads a source whole: sourceMissing, sourceIsLink (a link refused by `links`),
// sourceNotRegular, sourceTooLarge (more than `limit` bytes), readFailed or outOfMemory, else
// ok with the bytes and facts in `source`.
Outcome readSourceFile(const std::filesystem::path& name, std::size_t limit, fileio::Links links,
                       Source& source);
// The same for an open descriptor (standard input, say); it has no facts.
Outcome readSourceStream(int fd, std::size_t limit, Source& source);

// The window's operations. The source is read following a link (the user named it), the
// destination gets the source's permission bits, and what already stands at the destination's
// name is replaced as `writeOptions.replace` says; with `confirmReplace`, it is asked once the
// new bytes are ready, only when that is not a regular file holding the same bytes: true
// replaces it, false leaves it untouched and the operation ends with Status::cancelled.
using ConfirmReplace = std::function<bool()>;

// Compresses `source` into `destination` with the search window `window`; `progress` and
// `interval` as for Compressor::compress. The status is readSourceFile's, the codec's,
// cancelled or writeFailed; on success the ratio is compressionRatio()'s.
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
