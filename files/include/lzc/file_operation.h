// The one file operation that lzc and the window both run: read a source whole, compress or
// restore it in memory, and only when that has succeeded write the destination whole through
// the file layer (lzc/file_io.h). A failed operation leaves the destination exactly as it was,
// and a replaced destination never keeps bytes of its old content.
//
// Thread safety: an operation uses only what it is given; operations with distinct compressors
// may run at the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "lzc/codec.h"
#include "lzc/file_io.h"
#include "lzc/file_status.h"
#include "lzc/progress.h"
#include "lzc/quality.h"

namespace lzc {

// Where an operation reads from or writes to.
class Endpoint {
public:
    // A file by name. A source that is a link is read as `OperationOptions::links` says; a
    // destination is written all or nothing, as `OperationOptions::replace` says. The directory
    // that holds the name is looked up once per operation (fileio::openDirectoryOf): a
    // destination named beside the source (FILE.lzc beside FILE) is written in that directory,
    // the one whose file was read, and --rm removes the source there.
    static Endpoint file(std::filesystem::path name) { return Endpoint(std::move(name), -1); }
    // A file by its name in an open directory (a descriptor that a walk holds; see
    // fileio::kWorkingDirectory).
    static Endpoint fileAt(int directory, std::filesystem::path name) {
        Endpoint endpoint(std::move(name), -1);
        endpoint.directory_ = directory;
        return endpoint;
    }
    // An open descriptor: standard input as a source, standard output as a destination.
    static Endpoint stream(int descriptor) { return Endpoint({}, descriptor); }
    // No destination: the result is only made and counted (lzc -t and -l).
    static Endpoint discard() { return Endpoint({}, -2); }

    bool isFile() const { return descriptor_ == -1; }
    bool isStream() const { return descriptor_ >= 0; }
    const std::filesystem::path& name() const { return name_; }
    int descriptor() const { return descriptor_; }
    // For a file: the directory its name is looked up in.
    int directory() const { return directory_; }

private:
    Endpoint(std::filesystem::path name, int descriptor)
        : name_(std::move(name)), descriptor_(descriptor) {}
    std::filesystem::path name_;
    int descriptor_;
    int directory_ = fileio::kWorkingDirectory;
};

struct OperationOptions {
    std::int32_t window = kWindowOptimal;  // compression only: how far back a repeat may start
    fileio::Links links = fileio::Links::refuse;
    fileio::Replace replace = fileio::Replace::never;
    std::function<bool()> confirmReplace;  // for Replace::ask
    bool namedByUser = false;              // the destination was named on purpose (lzc -o)
    bool keepTimes = false;                // the destination gets the source's times
    bool synchronous = true;               // flush the destination and its directory
    bool removeSource = false;             // remove a source file once its output is complete
    ProgressCallback progress;
    std::int32_t interval = kDefaultProgressInterval;
};

// What became of --rm's request.
enum class Removal {
    notAsked,
    removed,
    keptForSpecialOutput,  // the output went into a FIFO or device, not a file
    keptAsChanged,         // the name no longer refers to the file that was read
    failed,                // removalError says why
};

struct Outcome {
    OperationStatus status;
    // errno of the failing system call, for readFailed and writeFailed; 0 otherwise.
    int systemError = 0;
    unsigned long nativeError = 0;  // the system's own code behind systemError (Windows), or 0
    std::size_t sourceSize = 0;     // bytes read
    std::size_t resultSize = 0;     // bytes made
    // The size figure of compressionRatio(), compressed size over restored size.
    std::int32_t ratio = 0;
    // Metadata the written file could not be given; the operation succeeded all the same.
    std::vector<fileio::MetadataWarning> warnings;
    Removal removal = Removal::notAsked;
    int removalError = 0;
};

// Compresses `source` into `destination` with `compressor`. The status is ok, or what went
// wrong: of the files, sourceMissing, sourceIsLink, sourceNotRegular, readFailed, sameFile,
// cancelled (the replace question said no) or writeFailed (EEXIST: something stands at the
// destination and may not be replaced); of the codec, sourceTooLarge, emptyInput, outOfMemory
// or busy.
Outcome compressFile(Compressor& compressor, const Endpoint& source, const Endpoint& destination,
                     const OperationOptions& options);

// Restores `source` into `destination`, as compressFile does; a source longer than any stream
// gives FileStatus::streamTooLong, and one the decoder refuses Status::invalidStream.
Outcome decompressFile(const Endpoint& source, const Endpoint& destination,
                       const OperationOptions& options);

}  // namespace lzc
