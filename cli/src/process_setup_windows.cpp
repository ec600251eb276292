#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string_view>

#include "process_setup.h"

namespace lzc::cli {
namespace {

std::string utf8Of(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.pop_back();  // the terminating NUL
    return result;
}

// Whether an option argument takes the next argument as its value: -o, -w and -Q (also last in
// a bundle, as in -do), and --output, --window and --quality (or a prefix) without "=".
bool takesNextArgument(std::wstring_view option) {
    if (option.starts_with(L"--")) {
        const std::wstring_view name = option.substr(2);
        if (name.empty() || name.find(L'=') != std::wstring_view::npos) {
            return false;
        }
        for (const wchar_t* full : {L"output", L"window", L"quality"}) {
            if (std::wcsncmp(full, name.data(), name.size()) == 0) {
                return true;  // a NUL in `full` ends the comparison before a longer name's end
            }
        }
        return false;
    }
    // The first of -o, -w, -Q in a bundle takes the rest as its value, or the next argument.
    const std::size_t valued = option.find_first_of(L"owQ", 1);
    return valued == option.size() - 1;
}

// The files a pattern with * or ? matches, as cmd.exe users expect the program to find them:
// sorted without regard to case, with the pattern's folder in front. Hidden and system files and
// folders are left out, as the file layer counts them as missing.
std::vector<std::wstring> matches(const std::wstring& pattern) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry;
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return found;
    }
    const std::wstring folder = pattern.substr(0, pattern.find_last_of(L"/\\:") + 1);
    constexpr DWORD kLeftOut =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & kLeftOut) == 0) {
            found.push_back(folder + entry.cFileName);
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    std::sort(found.begin(), found.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return found;
}

// cmd.exe passes * and ? on unexpanded, so the program expands them, as the C runtime's setargv
// would: in file operands only, not in options, their values or anything after "--". A
// pattern that matches nothing stays as it is, to be reported as no such file. /? and -? ask
// for the help, as with Windows' own commands.
std::vector<std::wstring> expanded(int count, wchar_t** arguments) {
    std::vector<std::wstring> result;
    bool operandsOnly = false;
    for (int at = 1; at < count; ++at) {
        const std::wstring argument = arguments[at];
        if (!operandsOnly && (argument == L"/?" || argument == L"-?")) {
            result.push_back(L"--help");
            continue;
        }
        const bool option = !operandsOnly && argument.size() > 1 && argument[0] == L'-';
        if (option) {
            operandsOnly = argument == L"--";
            result.push_back(argument);
            if (takesNextArgument(argument) && at + 1 < count) {
                result.push_back(arguments[++at]);
            }
            continue;
        }
        std::vector<std::wstring> found;
        if (!operandsOnly && argument.find_first_of(L"*?") != std::wstring::npos) {
            found = matches(argument);
        }
        if (found.empty()) {
            result.push_back(argument);
        }
        result.insert(result.end(), found.begin(), found.end());
    }
    return result;
}

// Ctrl+C, Ctrl+Break or closing the console: the file layer's handler, asked first, has
// stopped its writes, and the unfinished files go with the process. The batch ends as the
// system ends a console program so stopped, never with a status that reads as success.
BOOL WINAPI endOnInterrupt(DWORD /*event*/) {
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
    return TRUE;
}

}  // namespace

std::vector<std::string> setUpProcess(int argc, char** argv) {
    ::SetConsoleCtrlHandler(endOnInterrupt, TRUE);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> arguments;
    for (const std::wstring& argument : expanded(count, wide)) {
        arguments.push_back(utf8Of(argument.c_str()));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace lzc::cli
