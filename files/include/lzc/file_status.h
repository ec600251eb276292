// What a file operation reports back: the codec's own status, or what only the file layer finds.
// No words here: lzc and the window each say these in their own.
#pragma once

#include <optional>

#include "lzc/status.h"

namespace lzc {

// What went wrong with the files themselves, whatever the codec would have made of their bytes.
enum class FileStatus {
    sourceMissing,     // no file by that name (or a dangling link)
    sourceIsLink,      // a symbolic link, not followed
    sourceNotRegular,  // a directory, device, FIFO or socket
    readFailed,        // the source could not be read (systemError says why)
    writeFailed,       // the destination could not be written (systemError says why)
    streamTooLong,     // longer than any .lzc stream can be (kMaxStreamSize): not one
    cancelled,         // the caller declined to replace the destination, which is untouched
    sameFile,          // the destination is the source itself
};

// How a file operation ended: a status of the codec (ok among them) or of the files. A source
// over the codec's size limit, and memory running out, are reported as the codec reports them:
// Status::sourceTooLarge and Status::outOfMemory. Compares equal to either kind of value.
class OperationStatus {
public:
    constexpr OperationStatus(Status codec = Status::ok) : codec_(codec) {}
    constexpr OperationStatus(FileStatus file) : file_(file) {}

    // The codec's status, or none when the files are at fault.
    constexpr std::optional<Status> codec() const {
        return file_ ? std::nullopt : std::optional<Status>(codec_);
    }
    // What was wrong with the files, or none when the codec's status says it all.
    constexpr std::optional<FileStatus> file() const { return file_; }

    friend constexpr bool operator==(const OperationStatus&, const OperationStatus&) = default;

private:
    Status codec_ = Status::ok;  // meaningful only without file_
    std::optional<FileStatus> file_;
};

}  // namespace lzc
