#include "lzc_cli/report_text.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "lzc/codec.h"
#include "lzc_cli/ratio_text.h"

namespace lzc::cli {

std::string listHeader() {
    return "compressed   restored  comp/orig  name";
}

std::string listRow(std::uintmax_t compressed, std::uintmax_t restored, std::string_view name) {
    const std::string ratio = formatRatio(
        compressionRatio(static_cast<std::size_t>(restored), static_cast<std::size_t>(compressed)));
    char columns[80];
    std::snprintf(columns, sizeof columns, "%10ju %10ju %10s  ", compressed, restored,
                  ratio.c_str());
    return columns + std::string(name);
}

std::string transferLine(std::string_view from, std::string_view to, std::uintmax_t fromSize,
                         std::uintmax_t toSize, std::int32_t ratio) {
    return std::string(from) + " -> " + std::string(to) + ": " + std::to_string(fromSize) + " -> " +
           std::to_string(toSize) + " bytes (" + formatRatio(ratio) + ")";
}

std::string testLine(std::string_view name, std::uintmax_t compressed, std::uintmax_t restored,
                     std::int32_t ratio) {
    return std::string(name) + ": OK, " + std::to_string(compressed) + " -> " +
           std::to_string(restored) + " bytes (" + formatRatio(ratio) + ")";
}

std::string inputFailure(OperationStatus status, int systemError, unsigned long nativeError) {
    if (const std::optional<Status> codec = status.codec()) {
        switch (*codec) {
            case Status::ok:
                return "success";
            case Status::busy:
                return "the compressor is already running";
            case Status::sourceTooLarge:
                return "larger than 32767 bytes";
            case Status::emptyInput:
                return "empty: the .lzc format cannot hold an empty file";
            case Status::invalidStream:
                return "not a valid .lzc stream";
            case Status::outOfMemory:
                return kOutOfMemory;
        }
        return "unknown status";
    }
    switch (*status.file()) {
        case FileStatus::sourceMissing:
            return "no such file";
        case FileStatus::sourceIsLink:
            return "is a symbolic link";
        case FileStatus::sourceNotRegular:
            return "not a regular file";
        case FileStatus::readFailed:
            return fileio::systemErrorText(systemError, nativeError);
        case FileStatus::writeFailed:
            return "cannot be written";
        case FileStatus::streamTooLong:
            return "not a valid .lzc stream: longer than any stream of a 32767-byte file";
        case FileStatus::cancelled:
            return "not replaced";
        case FileStatus::sameFile:
            return "input and output are the same file";
    }
    return "unknown status";
}

std::string outputFailure(int systemError, unsigned long nativeError) {
    switch (systemError) {
        case EEXIST:
            return "already exists (use -f to overwrite)";
        case EISDIR:
            return "is a directory";
        default:
            return fileio::systemErrorText(systemError, nativeError);
    }
}

std::string metadataWarning(const fileio::MetadataWarning& warning) {
    const char* what = warning.what == fileio::Metadata::permissions ? "permissions"
                       : warning.what == fileio::Metadata::times     ? "times"
                                                                     : "owner";
    return std::string("cannot keep its ") + what + ": " + std::strerror(warning.error);
}

}  // namespace lzc::cli
