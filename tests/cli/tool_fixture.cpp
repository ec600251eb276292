#include "tool_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lzc::test {

std::string textOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

ChildResult LzcTool::lzc(const std::vector<std::string>& arguments, ChildOptions options) const {
    std::vector<std::string> argv{LZC_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (options.workingDirectory.empty()) {
        options.workingDirectory = dir.path();
    }
    return runChild(argv, options);
}

std::optional<ChildResult> LzcTool::lzcWithoutPrivileges(
    const std::vector<std::string>& arguments) {
    std::vector<std::string> argv;
    if (::geteuid() == 0) {
        argv = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
        if (::access(argv[0].c_str(), X_OK) != 0 ||
            runChild({argv[0], argv[1], argv[2], argv[3], "/bin/true"}).exitCode != 0) {
            return std::nullopt;
        }
        // nobody must be able to reach the scratch directory.
        ::chmod(dir.path().c_str(), 0755);
    }
    argv.push_back(LZC_BINARY);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildOptions options;
    options.workingDirectory = dir.path();
    return runChild(argv, options);
}

void LzcTool::writeText(const std::string& name, const std::string& text) const {
    writeBytes(dir / name, bytesOf(text));
}

std::string LzcTool::readText(const std::string& name) const {
    return textOf(readBytes(dir / name));
}

bool LzcTool::exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::symlink_status(dir / name));
}

}  // namespace lzc::test
