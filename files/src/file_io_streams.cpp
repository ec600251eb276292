// Reading and writing open descriptors, the same on every system.
#include <algorithm>
#include <cerrno>

#include "file_io_platform.h"
#include "lzc/file_io.h"

namespace lzc::fileio {

ReadResult readDescriptor(int fd, std::size_t limit) {
    platform::prepareDescriptor(fd);
    ReadResult result;
    const std::size_t wanted = limit + 1;  // one byte more tells a file that is too large
    std::size_t have = 0;
    // The buffer grows with what arrives, so a short input never costs the whole limit.
    result.bytes.resize(std::min<std::size_t>(wanted, 64 * 1024));
    while (have < wanted) {
        if (have == result.bytes.size()) {
            result.bytes.resize(std::min(wanted, result.bytes.size() * 2));
        }
        const std::ptrdiff_t got =
            platform::readSome(fd, result.bytes.data() + have, result.bytes.size() - have);
        if (got < 0) {
            result.problem = ReadProblem::system;
            result.error = errno;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    result.bytes.resize(have);
    if (have > limit) {
        result.problem = ReadProblem::tooLarge;
    }
    return result;
}

int writeDescriptor(int fd, std::span<const std::uint8_t> bytes) {
    platform::prepareDescriptor(fd);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::ptrdiff_t written =
            platform::writeSome(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

}  // namespace lzc::fileio
