// Runs a command line with standard input from a pipe that stays open, waits for the first line
// it writes to standard error (it has started, and reads its input next), presses Ctrl+C on the
// console they share, and prints the command's exit status, for lzc_exe_test.sh.
#include <windows.h>

#include <cstdio>

namespace {

BOOL WINAPI keepRunning(DWORD /*event*/) {
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE input = nullptr;
    HANDLE feed = nullptr;
    HANDLE said = nullptr;
    HANDLE messages = nullptr;
    if (argc != 2 || !::CreatePipe(&input, &feed, &inherited, 0) ||
        !::CreatePipe(&said, &messages, &inherited, 0)) {
        return 2;
    }
    ::SetHandleInformation(feed, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(said, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = input;
    start.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = messages;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, argv[1], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                          &process)) {
        return 2;
    }
    ::CloseHandle(input);
    ::CloseHandle(messages);
    char c = 0;
    DWORD got = 0;
    while (::ReadFile(said, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
    }
    ::SetConsoleCtrlHandler(keepRunning, TRUE);
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    DWORD status = 0;
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &status)) {
        return 2;
    }
    std::printf("status:%08lX\n", status);
    return 0;
}
