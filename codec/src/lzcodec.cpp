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

Outcome writeDestination(const Source& source, const std::filesystem::path& destination,
                         std::span<const std::uint8_t> bytes, fileio::WriteOptions options,
                         const ConfirmReplace& confirmReplace) {
    options.source = source.facts;
    if (confirmReplace) {
        options.replace = fileio::Replace::ask;
        options.confirmReplace = confirmReplace;
    }
    fileio::WriteResult written = fileio::writeFileAtomically(destination, bytes, options);
    if (written.error == ECANCELED) {
        return failure(Status::cancelled);
    }
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

// Runs a read and turns its result into an outcome; the bytes go to `source` on success.
template <typename Read>
Outcome readSource(Read read, Source& source) {
    fileio::ReadResult result;
    try {
        result = read();
    } catch (const std::bad_alloc&) {
        return failure(Status::outOfMemory);
    }
    switch (result.problem) {
        case fileio::ReadProblem::none:
            break;
        case fileio::ReadProblem::missing:
            return failure(Status::sourceMissing);
        case fileio::ReadProblem::link:
            return failure(Status::sourceIsLink);
        case fileio::ReadProblem::notRegular:
            return failure(Status::sourceNotRegular);
        case fileio::ReadProblem::tooLarge:
            return failure(Status::sourceTooLarge);
        case fileio::ReadProblem::system:
            return failure(Status::readFailed, result.error);
    }
    source.bytes = std::move(result.bytes);
    if (result.facts.inode != 0 || result.facts.device != 0) {
        source.facts = result.facts;
    }
    return Outcome{};
}

}  // namespace

Outcome readSourceFile(const std::filesystem::path& name, std::size_t limit, fileio::Links links,
                       Source& source) {
    return readSource([&] { return fileio::readFile(name, limit, links); }, source);
}

Outcome readSourceStream(int fd, std::size_t limit, Source& source) {
    return readSource([&] { return fileio::readDescriptor(fd, limit); }, source);
}

Outcome compressFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                     const ProgressCallback& progress, std::int32_t interval, std::int32_t window,
                     const fileio::WriteOptions& writeOptions,
                     const ConfirmReplace& confirmReplace) {
    return guarded([&] {
        Source read;
        if (Outcome outcome = readSourceFile(source, static_cast<std::size_t>(kMaxSourceSize),
                                             fileio::Links::follow, read);
            outcome.status != Status::ok) {
            return outcome;
        }
        const std::vector<std::uint8_t>& input = read.bytes;
        std::vector<std::uint8_t> output;
        Compressor compressor;
        if (const Status status = compressor.compress(input, window, output, progress, interval);
            status != Status::ok) {
            return failure(status);
        }
        Outcome written = writeDestination(read, destination, output, writeOptions, confirmReplace);
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
        Source read;
        if (Outcome outcome = readSourceFile(source, kMaxStreamSize, fileio::Links::follow, read);
            outcome.status != Status::ok) {
            return outcome.status == Status::sourceTooLarge ? failure(Status::streamTooLong)
                                                            : outcome;
        }
        const std::vector<std::uint8_t>& stream = read.bytes;
        std::vector<std::uint8_t> restored;
        if (const Status status = decompressBuffer(stream, restored, progress, interval);
            status != Status::ok) {
            return failure(status);
        }
        return writeDestination(read, destination, restored, writeOptions, confirmReplace);
    });
}

}  // namespace lzc
