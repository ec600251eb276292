#include "lzc/file_operation.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <optional>
#include <vector>

#include "lzc/format.h"

namespace lzc {
namespace {

using Bytes = std::vector<std::uint8_t>;

Outcome failure(OperationStatus status, int systemError = 0, unsigned long nativeError = 0) {
    Outcome outcome;
    outcome.status = status;
    outcome.systemError = systemError;
    outcome.nativeError = nativeError;
    return outcome;
}

// Where a file endpoint is: its directory, looked up once, and its name there.
using Place = fileio::DirectoryOfName;

// The directory part of a name, as written (empty for none).
std::filesystem::path directoryPart(const std::filesystem::path& name) {
    return name.has_filename() ? name.parent_path() : name;
}

// The destination's place: in the source's own directory when its name says so (FILE beside
// FILE.lzc, the usual case), so that the output lands in the directory whose file was read;
// otherwise its own directory, looked up once.
Place destinationPlace(const Endpoint& source, const Place& from, const Endpoint& destination) {
    const std::filesystem::path leaf = destination.name().filename();
    if (from.opened != nullptr && source.directory() == destination.directory() &&
        directoryPart(source.name()) == directoryPart(destination.name()) && !leaf.empty() &&
        leaf != "." && leaf != "..") {
        Place beside = from;
        beside.name = leaf;
        return beside;
    }
    return fileio::openDirectoryOf(destination.directory(), destination.name());
}

// Reads a source whole, up to `limit` bytes and one more to tell that it is too long.
Outcome readSource(const Endpoint& source, const Place& from, std::size_t limit,
                   fileio::Links links, fileio::ReadResult& read) {
    if (source.isFile() && from.error != 0) {
        return from.error == ENOENT || from.error == ENOTDIR
                   ? failure(FileStatus::sourceMissing)
                   : failure(FileStatus::readFailed, from.error);
    }
    read = source.isStream() ? fileio::readDescriptor(source.descriptor(), limit)
                             : fileio::readFileAt(from.directory, from.name, limit, links);
    switch (read.problem) {
        case fileio::ReadProblem::none:
            return Outcome{};
        case fileio::ReadProblem::missing:
            return failure(FileStatus::sourceMissing);
        case fileio::ReadProblem::link:
            return failure(FileStatus::sourceIsLink);
        case fileio::ReadProblem::notRegular:
            return failure(FileStatus::sourceNotRegular);
        case fileio::ReadProblem::tooLarge:
            return failure(Status::sourceTooLarge);
        case fileio::ReadProblem::system:
            break;
    }
    return failure(FileStatus::readFailed, read.error, read.nativeError);
}

// Writes the result and, when asked, removes the source file it was made from.
Outcome writeResult(const Endpoint& source, const Place& from, const fileio::ReadResult& read,
                    const Endpoint& destination, const Place& to, const Bytes& bytes,
                    const OperationOptions& options) {
    Outcome outcome;
    bool inPlace = destination.isStream();
    if (destination.isStream()) {
        if (const int error = fileio::writeDescriptor(destination.descriptor(), bytes);
            error != 0) {
            return failure(FileStatus::writeFailed, error);
        }
    } else if (destination.isFile()) {
        fileio::WriteOptions write;
        write.replace = options.replace;
        write.confirmReplace = options.confirmReplace;
        if (source.isFile()) {
            write.source = read.facts;
        }
        write.keepTimes = options.keepTimes;
        write.namedByUser = options.namedByUser;
        write.synchronous = options.synchronous;
        fileio::WriteResult written =
            fileio::writeFileAtomicallyAt(to.directory, to.name, bytes, write);
        if (written.error == ECANCELED) {
            return failure(FileStatus::cancelled);
        }
        if (written.error != 0) {
            return failure(FileStatus::writeFailed, written.error, written.nativeError);
        }
        inPlace = written.inPlace;
        outcome.warnings = std::move(written.warnings);
    }
    if (options.removeSource && source.isFile() && !destination.isFile()) {
        outcome.removal = Removal::keptForSpecialOutput;
    } else if (options.removeSource && source.isFile()) {
        const int error =
            inPlace ? 0 : fileio::removeIfUnchangedAt(from.directory, from.name, read.facts);
        outcome.removal = inPlace                         ? Removal::keptForSpecialOutput
                          : error == 0                    ? Removal::removed
                          : error == fileio::kNameChanged ? Removal::keptAsChanged
                                                          : Removal::failed;
        outcome.removalError = error;
    }
    return outcome;
}

// The steps both directions share: find the source's directory, read, refuse a destination that
// is the source itself, transform, write. `transform` runs the codec and returns its status.
//
// A file's directory is looked up once, here: the source is read, its output written and the
// source removed (--rm) through that one descriptor, so a directory swapped on the path meanwhile
// cannot send any of these elsewhere. A destination in another directory (lzc -o) gets its own,
// looked up once too.
template <typename Transform>
Outcome run(const Endpoint& source, const Endpoint& destination, const OperationOptions& options,
            std::size_t limit, Transform transform) {
    try {
        Place from;
        if (source.isFile()) {
            from = fileio::openDirectoryOf(source.directory(), source.name());
        }
        fileio::ReadResult read;
        if (Outcome outcome = readSource(source, from, limit, options.links, read);
            outcome.status != Status::ok) {
            return outcome;
        }
        Place to;
        if (destination.isFile()) {
            to = destinationPlace(source, from, destination);
        }
        if (source.isFile() && destination.isFile() && to.error == 0 &&
            fileio::isSameFileAt(to.directory, to.name, read.facts)) {
            return failure(FileStatus::sameFile);
        }
        Bytes result;
        if (const Status status = transform(read.bytes, result); status != Status::ok) {
            return failure(status);
        }
        if (to.error != 0) {
            return failure(FileStatus::writeFailed, to.error);
        }
        Outcome outcome = writeResult(source, from, read, destination, to, result, options);
        outcome.sourceSize = read.bytes.size();
        outcome.resultSize = result.size();
        return outcome;
    } catch (const std::bad_alloc&) {
        return failure(Status::outOfMemory);
    }
}

}  // namespace

Outcome compressFile(Compressor& compressor, const Endpoint& source, const Endpoint& destination,
                     const OperationOptions& options) {
    Outcome outcome = run(source, destination, options, static_cast<std::size_t>(kMaxSourceSize),
                          [&](const Bytes& input, Bytes& output) {
                              return compressor.compress(input, options.window, output,
                                                         options.progress, options.interval);
                          });
    if (outcome.status == Status::ok) {
        outcome.ratio = compressionRatio(outcome.sourceSize, outcome.resultSize);
    }
    return outcome;
}

Outcome decompressFile(const Endpoint& source, const Endpoint& destination,
                       const OperationOptions& options) {
    Outcome outcome = run(
        source, destination, options, kMaxStreamSize, [&](const Bytes& stream, Bytes& restored) {
            return decompressBuffer(stream, restored, options.progress, options.interval);
        });
    if (outcome.status == Status::sourceTooLarge) {
        outcome.status = FileStatus::streamTooLong;
    }
    if (outcome.status == Status::ok) {
        outcome.ratio = compressionRatio(outcome.resultSize, outcome.sourceSize);
    }
    return outcome;
}

}  // namespace lzc
