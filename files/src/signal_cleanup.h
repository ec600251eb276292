// The hidden files being written, removed when SIGINT, SIGTERM, SIGHUP, SIGPIPE or SIGXCPU ends
// the process (file_write_posix.cpp): each is registered between its creation and its placing,
// by whichever thread writes it. Registering, forgetting and creating happen with those signals
// blocked in the calling thread (SignalsBlocked). SIGXFSZ is ignored, so that a write past the
// file-size limit fails like any other.
#pragma once

#include <signal.h>

#include <string>

namespace lzc::fileio::cleanup {

// Installs the handler for each of the signals that still has its default action, and ignores
// SIGXFSZ if it has its default; a signal the program ignores or handles itself is left as it
// is. Once is enough; later calls do nothing.
void installSignalHandlers();

// Blocks the handled signals in this thread for the life of a scope.
class SignalsBlocked {
public:
    SignalsBlocked();
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;
    ~SignalsBlocked();

private:
    sigset_t previous_;
};

// Brackets the creation of a hidden file and its registration: false, and nothing may be
// created, once the handler has begun. endCreating() follows a true beginCreating().
bool beginCreating();
void endCreating();

// Registers `name` in the directory `dir`: the slot to forget it by, or -1 when all are taken
// (more files written at once than any run uses).
int registerFile(int dir, const std::string& name);
void forgetFile(int slot);  // -1: nothing

}  // namespace lzc::fileio::cleanup
