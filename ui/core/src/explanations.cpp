#include "vellicor/explanations.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "lzc/naming.h"
#include "vellicor/path_text.h"
#include "vellicor/texts.h"

namespace vellicor {
namespace {

// The whole path, with any control character in it made visible.
std::string fullPath(std::string_view name) {
    return lzc::quotedName(absoluteName(name));
}

std::string bytes(std::uintmax_t size) {
    return size == 1 ? translate("vellicor::Explanations", "1 byte")
                     : withValues(translate("vellicor::Explanations", "%1 bytes"),
                                  {std::to_string(size)});
}

std::string systemReason(int error, bool reading) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return reading ? translate("vellicor::Explanations",
                                       "Permission denied: the file cannot be read.")
                           : translate("vellicor::Explanations",
                                       "Permission denied: the file cannot be written.");
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return translate("vellicor::Explanations", "The disk is full.");
        default:
            // The system's own words, in the language the C library speaks.
            return withValues(
                reading ? translate("vellicor::Explanations", "The file cannot be read: %1.")
                        : translate("vellicor::Explanations", "The file cannot be written: %1."),
                {std::strerror(error)});
    }
}

std::string reason(const lzc::Outcome& outcome, std::string_view source) {
    std::error_code error;
    if ((outcome.status == lzc::Status::sourceMissing ||
         outcome.status == lzc::Status::sourceNotRegular) &&
        std::filesystem::is_directory(pathFromUtf8(source), error)) {
        return translate("vellicor::Explanations", "This is a folder, not a file.");
    }
    switch (outcome.status) {
        case lzc::Status::sourceMissing:
            return translate("vellicor::Explanations", "The file does not exist.");
        case lzc::Status::sourceNotRegular:
            return translate("vellicor::Explanations", "This is not a regular file.");
        case lzc::Status::emptyInput:
            return translate("vellicor::Explanations", "The file is empty.");
        case lzc::Status::sourceTooLarge:
            return translate("vellicor::Explanations", "The file is larger than 32767 bytes.");
        case lzc::Status::invalidStream:
        case lzc::Status::streamTooLong:
            return translate("vellicor::Explanations", "This is not a valid .lzc stream.");
        case lzc::Status::readFailed:
            return systemReason(outcome.systemError, true);
        case lzc::Status::writeFailed:
            return systemReason(outcome.systemError, false);
        default: {
            // Whatever else the codec reports, in its own words (English).
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
    return withValues(translate("vellicor::Explanations", "Wrote %1 to\n%2\nfrom the %3 of\n%4"),
                      {bytes(writtenSize), fullPath(written), bytes(readSize), fullPath(read)});
}

std::string failureDetails(const lzc::Outcome& outcome, std::string_view source,
                           std::string_view destination) {
    const std::string_view concerned =
        outcome.status == lzc::Status::writeFailed ? destination : source;
    return reason(outcome, source) + '\n' + fullPath(concerned);
}

std::string noRestoredNameDetails(std::string_view source) {
    return withValues(
        translate("vellicor::Explanations",
                  "No file name is left once the last four characters are removed.\n%1"),
        {fullPath(source)});
}

std::string emptyNameDetails() {
    return translate("vellicor::Explanations", "Type or choose a file name first.");
}

}  // namespace vellicor
