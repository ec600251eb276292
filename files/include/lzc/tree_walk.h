// Walking a directory tree (lzc -r): depth first, with the names of one directory per level in
// memory, so a tree of any size costs only as much as its depth and its largest directory, and
// at most a few open directories however deep it goes (on POSIX systems). No link is ever
// followed: each level is opened through the descriptor of the one above it, without following a
// link at its name, so a directory swapped for a link while the walk runs cannot lead it
// elsewhere; a level closed on the way down is opened again through ".." and must be the same
// directory. On Windows the same holds through directory handles, a reparse point (a link or
// junction) counting as a link, and hidden and system files and folders are passed over.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "lzc/file_io.h"

namespace lzc::fileio {

// A directory that a walk (or fileio::openDirectoryOf) opened, held while the files found in it
// are worked on (by other threads, perhaps) and closed by its last holder.
class OpenDirectory {
public:
    explicit OpenDirectory(int descriptor) : descriptor_(descriptor) {}
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;
    ~OpenDirectory();
    // For the ...At functions of lzc/file_io.h and Endpoint::fileAt.
    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

struct WalkEntry {
    enum class Kind {
        file,        // anything but a directory or a link: the file operation tells what it is
        link,        // a symbolic link (on Windows, any reparse point): not followed
        unreadable,  // a directory that could not be opened or listed; `error` says why
        loop,        // a directory that is one of those it lies within (a bind mount makes one)
        moved,       // a directory moved away while it was walked: the walk of the tree stops
    };
    Kind kind = Kind::file;
    int error = 0;
    // For a file: the directory holding it and its name there.
    std::shared_ptr<const OpenDirectory> directory;
    std::string name;
    // The root and the names below it, joined by '/' ('\\' on Windows): what messages show.
    std::string path;
};

// Walks the tree below the directory `root` (UTF-8), calling `visit` for each entry met that is
// not a directory entered, in order of name within each directory. `links` says whether `root`
// itself may be a link. Returns false, having visited nothing, when `root` is not a directory
// (a file, a refused link, a missing name): the caller takes it for a single file instead.
bool walkTree(const std::string& root, Links links, const std::function<void(WalkEntry&&)>& visit);

}  // namespace lzc::fileio
