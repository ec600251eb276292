#include "lzc/lzcodec.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "lzc/file_io.h"
#include "lzc/format.h"

namespace lzc {
namespace {

Outcome failure(Status status, int systemError = 0) {
    return Outcome{status, systemError, 0, {}};
}

Outcome writeDestination(const std::filesystem::path& source,
                         const std::filesystem::path& destination,
                         std::span<const std::uint8_t> bytes, fileio::WriteOptions options) {
    options.metadataSource = source;
    fileio::WriteResult written = fileio::writeFileAtomically(destination, bytes, options);
    if (written.error != 0) {
        return failure(Status::writeFailed, written.error);
    }
    return Outcome{Status::ok, 0, 0, std::move(written.warnings)};
}

// Runs one operation; memory running out fails it and nothing else.
template <typename Operation>
Outcome guarded(Operation operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return failure(Status::outOfMemory);
    }
}

// Runs a read and turns its result into an outcome; the bytes go to `bytes` on success.
template <typename Read>
Outcome readSource(Read read, std::vector<std::uint8_t>& bytes) {
    fileio::ReadResult result;
    try {
        result = read();
    } catch (const std::bad_alloc&) {
        return failure(Status::outOfMemory);
    }
    if (result.error == EISDIR || result.error == EINVAL) {
        return failure(Status::sourceNotRegular);
    }
    if (result.error != 0) {
        return failure(Status::readFailed, result.error);
    }
    if (result.tooLarge) {
        return failure(Status::sourceTooLarge);
    }
    bytes = std::move(result.bytes);
    return Outcome{};
}

// Whether an existing destination holds other bytes than `bytes` and the caller declines to
// replace it. A destination that is missing or not a regular file (a device is written in place)
// asks nothing; one that cannot be read counts as different.
bool replaceDeclined(const std::filesystem::path& destination, std::span<const std::uint8_t> bytes,
                     const ConfirmReplace& confirmReplace) {
    if (!confirmReplace || fileio::classify(destination) != fileio::FileKind::regular) {
        return false;
    }
    const fileio::ReadResult existing = fileio::readFile(destination, bytes.size());
    const bool same =
        existing.error == 0 && !existing.tooLarge &&
        std::equal(bytes.begin(), bytes.end(), existing.bytes.begin(), existing.bytes.end());
    return !same && !confirmReplace();
}

}  // namespace

Outcome readSourceFile(const std::filesystem::path& name, std::size_t limit,
                       std::vector<std::uint8_t>& bytes) {
    switch (fileio::classify(name)) {
        case fileio::FileKind::missing:
            return failure(Status::sourceMissing);
        case fileio::FileKind::notRegular:
            return failure(Status::sourceNotRegular);
        case fileio::FileKind::regular:
            break;
    }
    return readSource([&] { return fileio::readFile(name, limit); }, bytes);
}

Outcome readSourceStream(int fd, std::size_t limit, std::vector<std::uint8_t>& bytes) {
    return readSource([&] { return fileio::readDescriptor(fd, limit); }, bytes);
}

Outcome compressFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                     const ProgressCallback& progress, std::int32_t interval, std::int32_t window,
                     const fileio::WriteOptions& writeOptions,
                     const ConfirmReplace& confirmReplace) {
    return guarded([&] {
        std::vector<std::uint8_t> input;
        if (Outcome read = readSourceFile(source, static_cast<std::size_t>(kMaxSourceSize), input);
            read.status != Status::ok) {
            return read;
        }
        std::vector<std::uint8_t> output;
        Compressor compressor;
        if (const Status status = compressor.compress(input, window, output, progress, interval);
            status != Status::ok) {
            return failure(status);
        }
        if (replaceDeclined(destination, output, confirmReplace)) {
            return failure(Status::cancelled);
        }
        Outcome written = writeDestination(source, destination, output, writeOptions);
        if (written.status == Status::ok) {
            written.ratio = compressionRatio(input.size(), output.size());
        }
        return written;
    });
}

Outcome decompressFile(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const ProgressCallback& progress,
                       std::int32_t interval, const fileio::WriteOptions& writeOptions,
                       const ConfirmReplace& confirmReplace) {
    return guarded([&] {
        std::vector<std::uint8_t> stream;
        if (Outcome read = readSourceFile(source, kMaxStreamSize, stream);
            read.status != Status::ok) {
            return read.status == Status::sourceTooLarge ? failure(Status::streamTooLong) : read;
        }
        std::vector<std::uint8_t> restored;
        if (const Status status = decompressBuffer(stream, restored, progress, interval);
            status != Status::ok) {
            return failure(status);
        }
        if (replaceDeclined(destination, restored, confirmReplace)) {
            return failure(Status::cancelled);
        }
        return writeDestination(source, destination, restored, writeOptions);
    });
}

}  // namespace lzc
