#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace lzc::test {
namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot create a pipe");
    }
    return Pipe{ends[0], ends[1]};
}

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    // A child that exits without reading all of its input must not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    Pipe input = makePipe();
    Pipe output = makePipe();
    Pipe errors = makePipe();

    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const std::string directory = options.workingDirectory.string();

    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        const int in = options.inputFd >= 0 ? options.inputFd : input.read;
        const int out = options.outputFd >= 0 ? options.outputFd : output.write;
        if (::dup2(in, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0 ||
            ::dup2(errors.write, STDERR_FILENO) < 0 ||
            (!directory.empty() && ::chdir(directory.c_str()) != 0)) {
            ::_exit(126);
        }
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }

    closeIfOpen(input.read);
    closeIfOpen(output.write);
    closeIfOpen(errors.write);
    if (options.inputFd >= 0) {
        closeIfOpen(input.write);
    }

    ChildResult result;
    std::size_t written = 0;
    if (input.write >= 0 && options.input.empty()) {
        closeIfOpen(input.write);
    }
    // Feed standard input while draining both outputs, so that no pipe fills up and stalls.
    while (input.write >= 0 || output.read >= 0 || errors.read >= 0) {
        pollfd watched[3] = {
            {input.write, POLLOUT, 0}, {output.read, POLLIN, 0}, {errors.read, POLLIN, 0}};
        if (::poll(watched, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error("poll failed");
        }
        if (watched[0].revents != 0) {
            const ssize_t n = ::write(input.write, options.input.data() + written,
                                      options.input.size() - written);
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                closeIfOpen(input.write);  // the child stopped reading
            } else if (n > 0) {
                written += static_cast<std::size_t>(n);
                if (written == options.input.size()) {
                    closeIfOpen(input.write);
                }
            }
        }
        for (int index : {1, 2}) {
            if (watched[index].revents == 0) {
                continue;
            }
            int& fd = index == 1 ? output.read : errors.read;
            std::string& text = index == 1 ? result.output : result.errors;
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                text.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                closeIfOpen(fd);
            }
        }
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace lzc::test
