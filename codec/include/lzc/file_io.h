// Whole-file reading and all-or-nothing file writing.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace lzc::fileio {

enum class FileKind { regular, missing, notRegular };

// What a name refers to after following links: a regular file, nothing (including a dangling
// link), or something else (directory, device, FIFO, socket).
FileKind classify(const std::filesystem::path& name);

struct ReadResult {
    int error = 0;          // errno, 0 on success
    bool tooLarge = false;  // the file held more than the limit (only limit + 1 bytes were read)
    std::vector<std::uint8_t> bytes;
};

// Reads a whole file, or the first limit + 1 bytes of one that is larger.
ReadResult readFile(const std::filesystem::path& name, std::size_t limit);

// Reads all of an open descriptor (standard input, say), stopping after limit + 1 bytes.
ReadResult readDescriptor(int fd, std::size_t limit);

// Writes all of `bytes` to an open descriptor (standard output, say), retrying interrupted and
// partial writes. Returns 0 or the errno of the failing call.
int writeDescriptor(int fd, std::span<const std::uint8_t> bytes);

struct WriteOptions {
    // Replace an existing destination. Without it an existing destination is left alone and
    // the write fails with EEXIST.
    bool replaceExisting = true;
    // Permission bits for the written file. Without them, a replaced file keeps its own and a
    // new file gets 0666 less the umask.
    std::optional<mode_t> mode;
    // Access and modification times for the written file; the current time without them.
    std::optional<struct timespec> accessTime;
    std::optional<struct timespec> modificationTime;
};

// Writes `bytes` to a new file beside `destination`, flushes it to disk, and only then moves it
// into place. On any failure the new file is removed and `destination` is as it was. A
// destination that is a link to a file is replaced where the link points, so the link stays.
// An existing destination that is a device, FIFO or socket (/dev/null, say) is written in
// place instead, never replaced; a directory is refused with EISDIR.
// Returns 0 or the errno of the failing call.
int writeFileAtomically(const std::filesystem::path& destination,
                        std::span<const std::uint8_t> bytes, const WriteOptions& options = {});

}  // namespace lzc::fileio
