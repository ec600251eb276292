#include "vellicor/explanations.h"

#include <cerrno>
#include <cstring>

#include "lzc/naming.h"
#include "vellicor/path_text.h"

namespace vellicor {
namespace {

// The whole path, with any control character in it made visible.
std::string fullPath(std::string_view name) {
    return lzc::quotedName(absoluteName(name));
}

std::string bytes(std::uintmax_t size) {
    return size == 1 ? "1 byte" : std::to_string(size) + " bytes";
}

std::string systemReason(int error, const std::string& what) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return "Permission denied: the file cannot be " + what + ".";
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "The disk is full.";
        default:
            return "The file cannot be " + what + ": " + std::strerror(error) + ".";
    }
}

std::string reason(const lzc::Outcome& outcome) {
    switch (outcome.status) {
        case lzc::Status::sourceMissing:
            return "The file does not exist.";
        case lzc::Status::sourceNotRegular:
            return "This is not a regular file.";
        case lzc::Status::emptyInput:
            return "The file is empty.";
        case lzc::Status::sourceTooLarge:
            return "The file is larger than 32767 bytes.";
        case lzc::Status::invalidStream:
        case lzc::Status::streamTooLong:
            return "This is not a valid .lzc stream.";
        case lzc::Status::readFailed:
            return systemReason(outcome.systemError, "read");
        case lzc::Status::writeFailed:
            return systemReason(outcome.systemError, "written");
        default: {
            // Whatever else the codec reports, in its own words.
            std::string text = lzc::statusText(outcome.status);
            if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
                text[0] = static_cast<char>(text[0] - 'a' + 'A');
            }
            return text + '.';
        }
    }
}

}  // namespace

std::string successDetails(std::string_view written, std::uintmax_t writtenSize,
                           std::string_view read, std::uintmax_t readSize) {
    return "Wrote " + bytes(writtenSize) + " to\n" + fullPath(written) + "\nfrom the " +
           bytes(readSize) + " of\n" + fullPath(read);
}

std::string failureDetails(const lzc::Outcome& outcome, std::string_view source,
                           std::string_view destination) {
    const std::string_view concerned =
        outcome.status == lzc::Status::writeFailed ? destination : source;
    return reason(outcome) + '\n' + fullPath(concerned);
}

std::string noRestoredNameDetails(std::string_view source) {
    return "No file name is left once the last four characters are removed.\n" + fullPath(source);
}

}  // namespace vellicor
