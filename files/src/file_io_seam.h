// The system calls of the file layer that tests replace, to act out filesystems and failures
// this machine does not have (no hard links, a failing chmod or fsync), a hook that runs once a
// source is read, one while a new file holds its bytes but is not yet in place, and one inside
// the signal handler.
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

// Called by the signal handler (signal_cleanup_posix.cpp) with the signal's number once it has
// begun, before it removes anything; nothing when null. Only what is safe in a signal handler.
using SignalHook = void (*)(int signalNumber);
extern SignalHook cleanupBegun;

}  // namespace lzc::fileio::seam
