#include "lzc/status.h"

namespace lzc {

const char* statusText(Status status) {
    switch (status) {
        case Status::ok:
            return "success";
        case Status::busy:
            return "the compressor is already running";
        case Status::sourceMissing:
            return "no such file";
        case Status::sourceIsLink:
            return "is a symbolic link";
        case Status::sourceNotRegular:
            return "not a regular file";
        case Status::sourceTooLarge:
            return "larger than 32767 bytes";
        case Status::emptyInput:
            return "empty file";
        case Status::invalidStream:
            return "not a valid .lzc stream";
        case Status::readFailed:
            return "cannot be read";
        case Status::writeFailed:
            return "cannot be written";
        case Status::streamTooLong:
            return "not a valid .lzc stream: longer than any stream of a 32767-byte file";
        case Status::outOfMemory:
            return "not enough memory";
        case Status::cancelled:
            return "not replaced";
        case Status::sameFile:
            return "input and output are the same file";
    }
    return "unknown status";
}

}  // namespace lzc
