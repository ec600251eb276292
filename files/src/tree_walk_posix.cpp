// The directory walk on POSIX systems: every level is opened with openat() through its parent's
// descriptor, with O_NOFOLLOW, and listed through a descriptor of its own (fdopendir).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "lzc/tree_walk.h"

namespace lzc::fileio {

OpenDirectory::~OpenDirectory() {
    ::close(descriptor_);
}

namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;

struct Name {
    std::string name;
    unsigned char type;  // d_type: DT_UNKNOWN when the filesystem does not tell
};

// One directory on the path being walked: its names, read whole before any is worked on, so
// that the outputs written into it meanwhile are not met as inputs.
struct Level {
    std::shared_ptr<const OpenDirectory> directory;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
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
    ::closedir(stream);
    std::sort(names.begin(), names.end(),
              [](const Name& a, const Name& b) { return a.name < b.name; });
    return error;
}

class Walk {
public:
    explicit Walk(const std::function<void(WalkEntry&&)>& visit) : visit_(visit) {}

    // Enters the directory open at `fd`; `path` names it in messages.
    void enter(int fd, std::string path) {
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            const int error = errno;
            ::close(fd);
            report(WalkEntry::Kind::unreadable, std::move(path), error);
            return;
        }
        for (const Level& level : levels_) {
            if (level.device == info.st_dev && level.inode == info.st_ino) {
                ::close(fd);
                report(WalkEntry::Kind::loop, std::move(path), 0);
                return;
            }
        }
        Level level;
        level.directory = std::make_shared<const OpenDirectory>(fd);
        level.path = std::move(path);
        level.device = info.st_dev;
        level.inode = info.st_ino;
        if (const int error = listNames(fd, level.names); error != 0) {
            report(WalkEntry::Kind::unreadable, level.path, error);
            return;
        }
        levels_.push_back(std::move(level));
    }

    void run() {
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.next == level.names.size()) {
                levels_.pop_back();
                continue;
            }
            Name& entry = level.names[level.next++];
            step(level, std::move(entry));
        }
    }

private:
    void report(WalkEntry::Kind kind, std::string path, int error) {
        WalkEntry entry;
        entry.kind = kind;
        entry.path = std::move(path);
        entry.error = error;
        visit_(std::move(entry));
    }

    // Works on one name of the innermost level: may enter a directory, which makes a new level.
    void step(Level& level, Name entry) {
        std::string path = level.path + (level.path.ends_with('/') ? "" : "/") + entry.name;
        if (entry.type == DT_LNK) {
            report(WalkEntry::Kind::link, std::move(path), 0);
            return;
        }
        if (entry.type == DT_DIR || entry.type == DT_UNKNOWN) {
            const int fd = ::openat(level.directory->descriptor(), entry.name.c_str(),
                                    kDirectoryFlags | O_NOFOLLOW);
            if (fd >= 0) {
                enter(fd, std::move(path));  // may reallocate levels_: `level` is not used after
                return;
            }
            const int error = errno;
            if (error == ELOOP) {
                report(WalkEntry::Kind::link, std::move(path), 0);
                return;
            }
            if (error != ENOTDIR && error != ENOENT) {
                report(WalkEntry::Kind::unreadable, std::move(path), error);
                return;
            }
            // Not a directory (any more): the file operation looks at it through a descriptor.
        }
        WalkEntry file;
        file.directory = level.directory;
        file.name = std::move(entry.name);
        file.path = std::move(path);
        visit_(std::move(file));
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
