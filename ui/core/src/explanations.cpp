#include "vellicor/explanations.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
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

// What the codec said. The states a window user hardly ever meets are in English, untranslated.
std::string codecReason(lzc::Status status) {
    switch (status) {
        case lzc::Status::ok:
            return "Success.";
        case lzc::Status::busy:
            return "The compressor is already running.";
        case lzc::Status::sourceTooLarge:
            return translate("vellicor::Explanations", "The file is larger than 32767 bytes.");
        case lzc::Status::emptyInput:
            return translate("vellicor::Explanations", "The file is empty.");
        case lzc::Status::invalidStream:
            return translate("vellicor::Explanations", "This is not a valid .lzc stream.");
        case lzc::Status::outOfMemory:
            return "Not enough memory.";
    }
    return "Unknown status.";
}

std::string fileReason(lzc::FileStatus status, int systemError) {
    switch (status) {
        case lzc::FileStatus::sourceMissing:
            return translate("vellicor::Explanations", "The file does not exist.");
        case lzc::FileStatus::sourceIsLink:
            return "Is a symbolic link.";
        case lzc::FileStatus::sourceNotRegular:
            return translate("vellicor::Explanations", "This is not a regular file.");
        case lzc::FileStatus::readFailed:
            return systemReason(systemError, true);
        case lzc::FileStatus::writeFailed:
            return systemReason(systemError, false);
        case lzc::FileStatus::streamTooLong:
            return translate("vellicor::Explanations", "This is not a valid .lzc stream.");
        case lzc::FileStatus::cancelled:
            return "Not replaced.";
        case lzc::FileStatus::sameFile:
            return "Input and output are the same file.";
    }
    return "Unknown status.";
}

std::string reason(const lzc::Outcome& outcome, std::string_view source) {
    std::error_code error;
    if ((outcome.status == lzc::FileStatus::sourceMissing ||
         outcome.status == lzc::FileStatus::sourceNotRegular) &&
        std::filesystem::is_directory(pathFromUtf8(source), error)) {
        return translate("vellicor::Explanations", "This is a folder, not a file.");
    }
    if (const std::optional<lzc::FileStatus> file = outcome.status.file()) {
        return fileReason(*file, outcome.systemError);
    }
    return codecReason(*outcome.status.codec());
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
        outcome.status == lzc::FileStatus::writeFailed ? destination : source;
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
