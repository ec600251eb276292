#include "lzc/lzcodec.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <vector>

#include "lzc/file_io.h"
#include "lzc/format.h"

namespace lzc {
namespace {

// Set while an operation runs. The caller's event processing during a progress update could
// otherwise start a second operation inside the first.
std::atomic<bool> operationRunning{false};

class OperationGuard {
public:
    OperationGuard() : acquired_(!operationRunning.exchange(true)) {}
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;
    ~OperationGuard() {
        if (acquired_) {
            operationRunning.store(false);
        }
    }
    bool acquired() const { return acquired_; }

private:
    bool acquired_;
};

Outcome failure(Status status, int systemError = 0) {
    return Outcome{status, systemError, 0};
}

Outcome writeDestination(const std::filesystem::path& name, std::span<const std::uint8_t> bytes,
                         const fileio::WriteOptions& options) {
    if (const int error = fileio::writeFileAtomically(name, bytes, options); error != 0) {
        return failure(Status::writeFailed, error);
    }
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
    fileio::ReadResult read = fileio::readFile(name, limit);
    if (read.error == EISDIR || read.error == EINVAL) {
        return failure(Status::sourceNotRegular);
    }
    if (read.error != 0) {
        return failure(Status::readFailed, read.error);
    }
    if (read.tooLarge) {
        return failure(Status::sourceTooLarge);
    }
    bytes = std::move(read.bytes);
    return Outcome{};
}

Outcome compressFile(const std::filesystem::path& source, const std::filesystem::path& destination,
                     ProgressPair& progress, std::int32_t interval, std::int32_t window,
                     const fileio::WriteOptions& writeOptions,
                     const ConfirmReplace& confirmReplace) {
    OperationGuard guard;
    if (!guard.acquired()) {
        return failure(Status::busy);
    }
    std::vector<std::uint8_t> input;
    if (Outcome read = readSourceFile(source, static_cast<std::size_t>(kMaxSourceSize), input);
        read.status != Status::ok) {
        return read;
    }
    std::vector<std::uint8_t> output;
    if (const Status status = compressBuffer(input, window, output, progress, interval);
        status != Status::ok) {
        return failure(status);
    }
    if (replaceDeclined(destination, output, confirmReplace)) {
        return failure(Status::cancelled);
    }
    if (Outcome written = writeDestination(destination, output, writeOptions);
        written.status != Status::ok) {
        return written;
    }
    return Outcome{Status::ok, 0, compressionRatio(input.size(), output.size())};
}

Outcome decompressFile(const std::filesystem::path& source,
                       const std::filesystem::path& destination, ProgressPair& progress,
                       std::int32_t interval, const fileio::WriteOptions& writeOptions,
                       const ConfirmReplace& confirmReplace) {
    OperationGuard guard;
    if (!guard.acquired()) {
        return failure(Status::busy);
    }
    std::vector<std::uint8_t> stream;
    constexpr auto kMaxStream = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (Outcome read = readSourceFile(source, kMaxStream, stream); read.status != Status::ok) {
        return read.status == Status::sourceTooLarge ? failure(Status::invalidStream) : read;
    }
    std::vector<std::uint8_t> restored;
    if (const Status status = decompressBuffer(stream, restored, progress, interval);
        status != Status::ok) {
        return failure(status);
    }
    if (replaceDeclined(destination, restored, confirmReplace)) {
        return failure(Status::cancelled);
    }
    return writeDestination(destination, restored, writeOptions);
}

std::int32_t Compress(const std::string& source, const std::string& destination,
                      ProgressPair& progress, std::int32_t interval, std::int32_t window) {
    const Outcome outcome = compressFile(source, destination, progress, interval, window);
    return outcome.status == Status::ok ? outcome.ratio : -1;
}

std::int32_t Decompress(const std::string& source, const std::string& destination,
                        ProgressPair& progress, std::int32_t interval) {
    const Outcome outcome = decompressFile(source, destination, progress, interval);
    return outcome.status == Status::ok ? 0 : -1;
}

}  // namespace lzc
