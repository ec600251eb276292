// Text for people on Windows: one writer for the help, the messages and lzc -l's table.
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <span>
#include <string>

#include "lzc/file_io.h"
#include "lzc_cli/text_output.h"

namespace lzc::cli {

int writeText(int fd, std::string_view text) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR &&
        ::GetConsoleMode(handle, &mode)) {
        const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              size);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!::WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return EIO;
            }
            done += written;
        }
        return 0;
    }
    std::string lines;
    for (const char c : text) {
        lines += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return fileio::writeDescriptor(
        fd, std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size()));
}

bool writeText(std::FILE* stream, std::string_view text) {
    std::fflush(stream);  // anything written through the C runtime comes first
    return writeText(_fileno(stream), text) == 0;
}

}  // namespace lzc::cli
