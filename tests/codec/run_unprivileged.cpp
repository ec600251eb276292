// runUnprivileged: POSIX only (fork and setresuid).
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

namespace lzc::test {

int runUnprivileged(const std::function<int()>& action) {
    if (::geteuid() != 0) {
        return action();
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        constexpr gid_t kNoGroup = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNoGroup, kNoGroup, kNoGroup) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            ::_exit(255);
        }
        ::_exit(action() & 0x7F);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace lzc::test
