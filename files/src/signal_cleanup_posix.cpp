// Removal of the hidden files being written when a signal ends the process. The handler may run
// in any thread, at any moment, so everything it reads is a lock-free atomic or a name published
// by one.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "file_io_seam.h"
#include "signal_cleanup.h"

namespace lzc::fileio {
namespace seam {

SignalHook cleanupBegun = nullptr;

}  // namespace seam

namespace cleanup {
namespace {

// Each slot holds one file's directory descriptor and its name there. The handler reads only
// slots whose directory is set, and a directory is set only once its name is complete.
struct PendingSlot {
    std::atomic<bool> claimed{false};
    std::atomic<int> directory{-1};
    char name[256];
};
constexpr int kPendingSlots = 256;
PendingSlot pendingSlots[kPendingSlots];
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

constexpr int kCleanedUpSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXCPU};

sigset_t cleanedUpSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : kCleanedUpSignals) {
        sigaddset(&set, signalNumber);
    }
    return set;
}

// Threads between creating a hidden file and registering it. The handler waits until there are
// none, and once it has begun no thread creates another, so that no file of another thread's
// goes unregistered past the handler's look at the slots.
std::atomic<int> creating{0};
std::atomic<bool> ending{false};

extern "C" void removeTemporariesAndDie(int signalNumber) {
    // While the handler runs, every signal it handles is blocked in its thread (sa_mask). A copy
    // that another thread takes meanwhile (Ctrl+C pressed twice, a supervisor sending again)
    // finds the cleanup begun and waits here for the process to end.
    if (ending.exchange(true)) {
        for (;;) {
            ::pause();
        }
    }
    if (seam::cleanupBegun != nullptr) {
        seam::cleanupBegun(signalNumber);
    }
    while (creating.load() > 0) {
        // another thread, with these signals blocked, is one system call from registering
    }
    for (PendingSlot& slot : pendingSlots) {
        const int dir = slot.directory.load(std::memory_order_acquire);
        if (dir >= 0) {
            ::unlinkat(dir, slot.name, 0);
        }
    }
    // The signal, raised again with its default action, ends the process with its usual status
    // once this handler returns and unblocks it.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
    ::raise(signalNumber);
}

}  // namespace

void installSignalHandlers() {
    static const bool installed = [] {
        const auto hasDefaultAction = [](int signalNumber) {
            struct sigaction current {};
            return ::sigaction(signalNumber, nullptr, &current) == 0 &&
                   current.sa_handler == SIG_DFL && (current.sa_flags & SA_SIGINFO) == 0;
        };
        for (const int signalNumber : kCleanedUpSignals) {
            if (hasDefaultAction(signalNumber)) {
                struct sigaction action {};
                action.sa_handler = removeTemporariesAndDie;
                action.sa_mask = cleanedUpSignals();
                ::sigaction(signalNumber, &action, nullptr);
            }
        }
        // A write past the file-size limit (a full quota) then fails with EFBIG, an error for
        // that file alone, instead of ending the process.
        if (hasDefaultAction(SIGXFSZ)) {
            ::signal(SIGXFSZ, SIG_IGN);
        }
        return true;
    }();
    (void)installed;
}

SignalsBlocked::SignalsBlocked() {
    const sigset_t set = cleanedUpSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

SignalsBlocked::~SignalsBlocked() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool beginCreating() {
    creating.fetch_add(1);
    if (ending.load()) {
        creating.fetch_sub(1);
        return false;
    }
    return true;
}

void endCreating() {
    creating.fetch_sub(1);
}

int registerFile(int dir, const std::string& name) {
    for (int at = 0; at < kPendingSlots; ++at) {
        bool expected = false;
        PendingSlot& slot = pendingSlots[at];
        if (slot.claimed.compare_exchange_strong(expected, true)) {
            std::memcpy(slot.name, name.c_str(), std::min(name.size() + 1, sizeof slot.name));
            slot.name[sizeof slot.name - 1] = '\0';
            slot.directory.store(dir, std::memory_order_release);
            return at;
        }
    }
    return -1;
}

void forgetFile(int slot) {
    if (slot >= 0) {
        pendingSlots[slot].directory.store(-1, std::memory_order_release);
        pendingSlots[slot].claimed.store(false, std::memory_order_release);
    }
}

}  // namespace cleanup
}  // namespace lzc::fileio
