// The file layer: the only code that opens, creates, replaces, removes or syncs files. The
// window and lzc both go through it, so every promise about files holds in both.
//
// Every directory may be shared with someone hostile, so no decision rests on a name looked at
// earlier: what a source is (type, size, mode, owner, times) comes from the descriptor that is
// read, a link at a source is refused unless the caller follows links on purpose, and nothing
// is opened in a way that follows a link at a destination or that can block.
//
// Writing is all or nothing. The bytes go to a new hidden file beside the destination, created
// with no access for anyone but its owner before its first byte; it is given its metadata and
// only then moved into place. Whatever stands at the destination's name (a file, a link, a
// FIFO, a device) is either left alone or replaced itself, never written through. On SIGINT,
// SIGTERM, SIGHUP or SIGPIPE the new file is removed and the process ends as the signal would
// have ended it; this holds for every file that several threads write at once. A SIGKILL or a power
// loss can leave the hidden file behind, never a partly written destination (with `synchronous`,
// also after a power loss).
//
// One source file per system implements this: file_io_posix.cpp and file_io_windows.cpp. On
// Windows, Ctrl+C, Ctrl+Break and closing the console stand for those signals, the new file is
// kept from other processes by its sharing mode and deleted by the system if the process ends
// before it is in place, and "missing" includes hidden and system files and directories;
// file_io_windows.cpp lists every difference.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lzc::fileio {

// What a file was when it was read, taken from its descriptor: what its output is given, and
// its identity for telling whether a name still refers to it.
struct FileFacts {
    std::uint32_t mode = 0;  // permission bits; on Windows 0444 when read-only, else 0666
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    std::int64_t accessTime = 0;  // nanoseconds since 1970
    std::int64_t modifyTime = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// How a source name that is a symbolic link is treated.
enum class Links {
    refuse,  // the read fails with ELOOP: someone else may have put the link there
    follow,  // the file it points to is read (lzc -f; the window, whose user names one file)
};

enum class ReadProblem {
    none,
    missing,     // no file by that name (or a dangling link that is followed)
    link,        // a symbolic link, refused
    notRegular,  // a directory, device, FIFO or socket: never opened for reading
    tooLarge,    // more than the limit (only limit + 1 bytes were read)
    system,      // error says why (EACCES, EIO, ...)
};

struct ReadResult {
    ReadProblem problem = ReadProblem::none;
    int error = 0;                  // errno for ReadProblem::system, else 0
    unsigned long nativeError = 0;  // with `error`: the system's own code (Windows), or 0
    std::vector<std::uint8_t> bytes;
    FileFacts facts;  // files only, once opened
};

// Names are looked up in the working directory, or, in the ...At functions, relative to an open
// directory's descriptor (one that a directory walk holds, lzc/tree_walk.h, or one that
// openDirectoryOf opened), so that a directory swapped for a link meanwhile cannot lead them
// elsewhere. (On Windows a directory is a handle, held in an int, as Windows keeps handle values
// within 32 bits.)
inline constexpr int kWorkingDirectory = -100;

class OpenDirectory;  // lzc/tree_walk.h

// A file's name, looked up once as far as the directory that holds it: that directory, open, and
// the name's last component there.
struct DirectoryOfName {
    int directory = kWorkingDirectory;  // for the ...At functions
    std::filesystem::path name;         // the last component, or the whole name when not split
    int error = 0;                      // errno of the failed opening, or 0
    std::shared_ptr<const OpenDirectory> opened;  // holds `directory` open, when it was opened
};

// Opens the directory that holds `name` (looked up in `directory`), following the path as given
// (links on it included, as gzip does), so that whatever is done to the file afterwards (reading
// it, writing beside it, removing it) happens in that one directory, whatever is swapped on the
// path meanwhile. The descriptor needs no permission to read the directory where the system has
// O_PATH. A name without a directory part, or one that ends in "/", "." or "..", is left whole in
// `directory`, and so, on Windows, is a device's name or one already inside an open folder.
DirectoryOfName openDirectoryOf(int directory, const std::filesystem::path& name);

// Reads a regular file whole, or the first limit + 1 bytes of one that is larger.
ReadResult readFile(const std::filesystem::path& name, std::size_t limit,
                    Links links = Links::refuse);
ReadResult readFileAt(int directory, const std::filesystem::path& name, std::size_t limit,
                      Links links);

// Reads all of an open descriptor (standard input, say), stopping after limit + 1 bytes.
ReadResult readDescriptor(int fd, std::size_t limit);

// Writes all of `bytes` to an open descriptor (standard output, say), retrying interrupted and
// partial writes. Returns 0 or the errno of the failing call.
int writeDescriptor(int fd, std::span<const std::uint8_t> bytes);

// What a failure says in messages: on Windows the system's own text for `nativeError`, in the
// user's language, when there is one (errno values lump many system errors together); else
// strerror(errnoValue).
std::string systemErrorText(int errnoValue, unsigned long nativeError);

// Whether a descriptor (standard input, say) is a terminal.
bool isTerminal(int fd);

// The error of a name that came to refer to another file between two looks at it.
#if defined(ESTALE)
inline constexpr int kNameChanged = ESTALE;
#else
inline constexpr int kNameChanged = EBUSY;  // MinGW's C library has no ESTALE
#endif

// Whether `name` itself (a link is not followed) is the file that `facts` describe.
bool isSameFile(const std::filesystem::path& name, const FileFacts& facts);
bool isSameFileAt(int directory, const std::filesystem::path& name, const FileFacts& facts);

// Removes `name` if it is still the file that `facts` describe. Returns 0, kNameChanged when the
// name now refers to something else (which is kept), or the errno of the failing call.
int removeIfUnchanged(const std::filesystem::path& name, const FileFacts& facts);
int removeIfUnchangedAt(int directory, const std::filesystem::path& name, const FileFacts& facts);

// Metadata that could not be given to a written file. The file is written all the same.
enum class Metadata { permissions, times, owner };

struct MetadataWarning {
    Metadata what;
    int error;  // errno of the failing call
};

// What happens when something already stands at the destination's name.
enum class Replace {
    never,   // it is left alone and the write fails with EEXIST
    ask,     // a regular file holding the same bytes is replaced unasked; anything else only
             // when `confirmReplace` says yes, else the write fails with ECANCELED
    always,  // it is replaced, whatever it is (a directory excepted: EISDIR)
};

struct WriteOptions {
    Replace replace = Replace::never;
    std::function<bool()> confirmReplace;  // asked once the new file is complete
    // The file the output is made from: the output gets its permission bits and, when run as
    // root, its owner and group. Without one, a replaced regular file of the caller's own
    // lends its permission bits, and anything else gives 0666 less the umask.
    std::optional<FileFacts> source;
    bool keepTimes = false;  // also give the output the source's access and modification times
    // The user named this destination on purpose (lzc -o): an existing FIFO or device there
    // (/dev/null, say) that belongs to root or to the user is written in place.
    bool namedByUser = false;
    // Flush the new file and its directory to disk before reporting success. A failing flush
    // is an error.
    bool synchronous = true;
};

struct WriteResult {
    int error = 0;         // 0 or the errno of the failing call
    bool inPlace = false;  // written into an existing FIFO or device, not a regular file
    std::vector<MetadataWarning> warnings;
    unsigned long nativeError = 0;  // with `error`: the system's own code (Windows), or 0
};

// Writes `bytes` to `destination` all or nothing, as described above. A destination that is a
// link is replaced itself (when replacing at all), never the file it points to.
WriteResult writeFileAtomically(const std::filesystem::path& destination,
                                std::span<const std::uint8_t> bytes,
                                const WriteOptions& options = {});
WriteResult writeFileAtomicallyAt(int directory, const std::filesystem::path& destination,
                                  std::span<const std::uint8_t> bytes, const WriteOptions& options);

}  // namespace lzc::fileio
