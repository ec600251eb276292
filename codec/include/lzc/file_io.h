// The file layer: the only code that opens, creates, replaces, removes or syncs files. The
// window and lzc both go through it, so every promise about files holds in both.
//
// Writing is all or nothing. The bytes go to a new hidden file beside the destination, created
// with no access for anyone but its owner before its first byte; it is given its metadata and
// only then moved into place. On SIGINT, SIGTERM, SIGHUP or SIGPIPE the new file is removed and
// the process ends as the signal would have ended it. A SIGKILL or a power loss can leave the
// hidden file behind, never a partly written destination (with `synchronous`, also after a
// power loss).
//
// One source file per system implements this: file_io_posix.cpp and file_io_windows.cpp. On
// Windows, Ctrl+C, Ctrl+Break and closing the console stand for those signals, the new file is
// kept from other processes by its sharing mode, and "missing" includes hidden and system files
// and directories; file_io_windows.cpp lists every difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace lzc::fileio {

enum class FileKind { regular, missing, notRegular };

// What a name refers to after following links: a regular file, nothing (including a dangling
// link), or something else (directory, device, FIFO, socket).
FileKind classify(const std::filesystem::path& name);

// The size of a regular file, or nothing for anything else.
std::optional<std::uintmax_t> regularFileSize(const std::filesystem::path& name);

// Whether two names lead to the same file.
bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second);

// Removes a name. Returns 0 or the errno of the failing call.
int removeFile(const std::filesystem::path& name);

// Whether a descriptor (standard input, say) is a terminal.
bool isTerminal(int fd);

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

// Metadata that could not be given to a written file. The file is written all the same.
enum class Metadata { permissions, times, owner };

struct MetadataWarning {
    Metadata what;
    int error;  // errno of the failing call
};

struct WriteOptions {
    // Replace an existing destination. Without it an existing destination is left alone and
    // the write fails with EEXIST, atomically where the filesystem allows it; where it has no
    // hard links, by reserving the name first and then moving the new file over the reservation.
    bool replaceExisting = true;
    // The file whose permission bits (and, when run as root, owner and group) the written file
    // gets. Without one, a replaced file keeps its own and a new file gets 0666 less the umask.
    std::filesystem::path metadataSource;
    // Also give the written file the access and modification times of `metadataSource`.
    bool keepTimes = false;
    // Flush the new file and its directory to disk before reporting success. A failing flush
    // is an error.
    bool synchronous = true;
};

struct WriteResult {
    int error = 0;  // 0 or the errno of the failing call
    std::vector<MetadataWarning> warnings;
};

// Writes `bytes` to `destination` all or nothing, as described above. A destination that is a
// link to a file is replaced where the link points, so the link stays. An existing destination
// that is a device, FIFO or socket (/dev/null, say) is written in place instead, never
// replaced; a directory is refused with EISDIR.
WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes,
                                const WriteOptions& options = {});

}  // namespace lzc::fileio
