// Removal of the hidden files being written when a signal ends the process. The handler may run
// in any thread, at any moment, so everything it reads is a lock-free atomic or a name published
// by one.
#include "signal_cleanup.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace lzc::fileio::cleanup {
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

constexpr int kCleanedUpSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Threads between creating a hidden file and registering it. The handler waits until there are
// none, and once it has begun no thread creates another, so that no file of another thread's
// goes unregistered past the handler's look at the slots.
std::atomic<int> creating{0};
std::atomic<bool> ending{false};

extern "C" void removeTemporariesAndDie(int signalNumber) {
    ending.store(true);
    while (creating.load() > 0) {
        // another thread, with these signals blocked, is one system call from registering
    }
    for (PendingSlot& slot : pendingSlots) {
        const int dir = slot.directory.load(std::memory_order_acquire);
        if (dir >= 0) {
            ::unlinkat(dir, slot.name, 0);
        }
    }
    // SA_RESETHAND has restored the default action: the signal, raised again, ends the process
    // with its usual status once this handler returns.
    ::raise(signalNumber);
}

}  // namespace

void installSignalHandlers() {
    static const bool installed = [] {
        for (const int signalNumber : kCleanedUpSignals) {
            struct sigaction current {};
            if (::sigaction(signalNumber, nullptr, &current) != 0 ||
                current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO) != 0) {
                continue;
            }
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndDie;
            action.sa_flags = static_cast<int>(SA_RESETHAND);
            sigemptyset(&action.sa_mask);
            ::sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

SignalsBlocked::SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : kCleanedUpSignals) {
        sigaddset(&set, signalNumber);
    }
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

}  // namespace lzc::fileio::cleanup
