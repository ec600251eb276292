// The directory walk on POSIX systems: every level is opened with openat() through its parent's
// descriptor, with O_NOFOLLOW, and listed through a descriptor of its own (fdopendir).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <utility>
#include <vector>

#include "lzc/tree_walk.h"

namespace lzc::fileio {

OpenDirectory::~OpenDirectory() {
    ::close(descriptor_);
}

namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;

// Levels whose directory the walk keeps open: the innermost ones. A deeper tree costs no more
// descriptors, whatever `ulimit -n` allows; a level above them is opened again on the way back.
constexpr std::size_t kOpenLevels = 16;

struct Name {
    std::string name;
    unsigned char type;  // d_type: DT_UNKNOWN when the filesystem does not tell
};

// One directory on the path being walked: its own name (not the whole path, so that memory grows
// with the depth alone), and its names, read whole before any is worked on, so that the outputs
// written into it meanwhile are not met as inputs.
struct Level {
    std::string name;  // in the level above; the root's is the operand as given
    dev_t device = 0;
    ino_t inode = 0;
    std::shared_ptr<const OpenDirectory> directory;  // null while closed
    std::vector<Name> names;
    std::size_t next = 0;
};

// Lists `fd`'s directory without "." and "..". Returns 0 or the errno of the failing call.
int listNames(int fd, std::vector<Name>& names) {
    const int listed = ::dup(fd);  // closedir() closes the descriptor it was given
    DIR* stream = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (stream == nullptr) {
        const int error = errno;
        if (listed >= 0) {
            ::close(listed);
        }
        return error;
    }
    int error = 0;
    try {
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(stream);
            if (entry == nullptr) {
                error = errno;
                break;
            }
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back({std::string(name), entry->d_type});
            }
        }
    } catch (const std::bad_alloc&) {  // a directory too large for the memory left
        error = ENOMEM;
        names.clear();
    }
    ::closedir(stream);
    std::sort(names.begin(), names.end(),
              [](const Name& a, const Name& b) { return a.name < b.name; });
    return error;
}

class Walk {
public:
    explicit Walk(const std::function<void(WalkEntry&&)>& visit) : visit_(visit) {}

    // Enters the directory open at `fd`, named `name` in the innermost level (or the root).
    void enter(int fd, std::string name) {
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            const int error = errno;
            ::close(fd);
            report(WalkEntry::Kind::unreadable, name, error);
            return;
        }
        for (const Level& level : levels_) {
            if (level.device == info.st_dev && level.inode == info.st_ino) {
                ::close(fd);
                report(WalkEntry::Kind::loop, name, 0);
                return;
            }
        }
        Level level;
        level.directory = std::make_shared<const OpenDirectory>(fd);
        level.device = info.st_dev;
        level.inode = info.st_ino;
        if (const int error = listNames(fd, level.names); error != 0) {
            report(WalkEntry::Kind::unreadable, name, error);
            return;
        }
        level.name = std::move(name);
        levels_.push_back(std::move(level));
        if (levels_.size() > kOpenLevels) {
            levels_[levels_.size() - kOpenLevels - 1].directory.reset();
        }
    }

    void run() {
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.next == level.names.size()) {
                leave();
                continue;
            }
            step(std::move(level.names[level.next++]));
        }
    }

private:
    // The path of `name` in the innermost level, as messages show it: the root and the names
    // below it, joined by '/'.
    std::string pathOf(const std::string& name) const {
        std::string path;
        for (const Level& level : levels_) {
            path += level.name;
            if (!path.ends_with('/')) {
                path += '/';
            }
        }
        return path + name;
    }

    void report(WalkEntry::Kind kind, const std::string& name, int error) {
        WalkEntry entry;
        entry.kind = kind;
        entry.path = pathOf(name);
        entry.error = error;
        visit_(std::move(entry));
    }

    // Works on one name of the innermost level: may enter a directory, which makes a new level.
    void step(Name entry) {
        if (entry.type == DT_LNK) {
            report(WalkEntry::Kind::link, entry.name, 0);
            return;
        }
        const std::shared_ptr<const OpenDirectory>& directory = levels_.back().directory;
        if (entry.type == DT_DIR || entry.type == DT_UNKNOWN) {
            const int fd =
                ::openat(directory->descriptor(), entry.name.c_str(), kDirectoryFlags | O_NOFOLLOW);
            if (fd >= 0) {
                enter(fd, std::move(entry.name));
                return;
            }
            const int error = errno;
            if (error == ELOOP) {
                report(WalkEntry::Kind::link, entry.name, 0);
                return;
            }
            if (error != ENOTDIR && error != ENOENT) {
                report(WalkEntry::Kind::unreadable, entry.name, error);
                return;
            }
            // Not a directory (any more): the file operation looks at it through a descriptor.
        }
        WalkEntry file;
        file.directory = directory;
        file.path = pathOf(entry.name);
        file.name = std::move(entry.name);
        visit_(std::move(file));
    }

    // Leaves the innermost level for the one above, opening that one again through ".." if it
    // was closed. Should ".." be another directory by then (the level left was moved away), the
    // walk stops rather than go on in a directory it did not list, as fts(3) stops.
    void leave() {
        const Level left = std::move(levels_.back());
        levels_.pop_back();
        if (levels_.empty() || levels_.back().directory != nullptr) {
            return;
        }
        Level& above = levels_.back();
        const int fd = ::openat(left.directory->descriptor(), "..", kDirectoryFlags);
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && info.st_dev == above.device &&
            info.st_ino == above.inode) {
            above.directory = std::make_shared<const OpenDirectory>(fd);
            return;
        }
        if (fd >= 0) {
            ::close(fd);
            report(WalkEntry::Kind::moved, left.name, 0);
        } else {
            const int error = errno;
            const std::string name = std::move(above.name);
            levels_.pop_back();
            report(WalkEntry::Kind::unreadable, name, error);
        }
        levels_.clear();
    }

    const std::function<void(WalkEntry&&)>& visit_;
    std::vector<Level> levels_;
};

}  // namespace

bool walkTree(const std::string& root, Links links, const std::function<void(WalkEntry&&)>& visit) {
    const int noFollow = links == Links::refuse ? O_NOFOLLOW : 0;
    const int fd = ::openat(AT_FDCWD, root.c_str(), kDirectoryFlags | noFollow);
    if (fd < 0) {
        if (errno == ENOTDIR || errno == ELOOP || errno == ENOENT) {
            return false;
        }
        WalkEntry entry;
        entry.kind = WalkEntry::Kind::unreadable;
        entry.error = errno;
        entry.path = root;
        visit(std::move(entry));
        return true;
    }
    Walk walk(visit);
    walk.enter(fd, root);
    walk.run();
    return true;
}

}  // namespace lzc::fileio
