// Runs a program as a child process with its standard streams connected to the test.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lzc::test {

struct ChildOptions {
    std::filesystem::path workingDirectory;  // the test's own when empty
    std::string input;                       // written to the child's standard input
    int inputFd = -1;   // when set, the child's standard input instead of `input`
    int outputFd = -1;  // when set, the child's standard output instead of a pipe
};

struct ChildResult {
    int exitCode = -1;  // -1 when the child did not exit normally
    std::string output;
    std::string errors;
};

// Runs argv[0] (a path, not searched for) with the arguments argv[1...] and waits for it.
ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

}  // namespace lzc::test
