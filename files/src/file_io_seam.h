// The system calls of the file layer that tests replace, to act out filesystems and failures
// this machine does not have (no hard links, a failing chmod or fsync), and hooks that run once
// a source is read and while a new file holds its bytes but is not yet in place.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace lzc::fileio::seam {

struct SystemCalls {
    // Both names are relative to the directory descriptor `dir`.
    int (*renameNoReplace)(int dir, const char* from, const char* to);
    int (*link)(int dir, const char* from, const char* to);
    int (*fchmod)(int fd, mode_t mode);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*futimens)(int fd, const struct timespec times[2]);
    int (*fsync)(int fd);
};

// The real calls unless a test has replaced some.
SystemCalls& systemCalls();
void restoreSystemCalls();

// Called with the new file's descriptor once its bytes are written, before anything else is
// done to it; nothing when null.
using TemporaryHook = void (*)(int temporary);
extern TemporaryHook temporaryWritten;

// Called once a source file has been read (readFileAt), before anything else is done with it;
// nothing when null.
using SourceHook = void (*)();
extern SourceHook sourceRead;

}  // namespace lzc::fileio::seam
