// What an operation reports back. The codec never shows messages: callers turn these into
// words for their users.
#pragma once

namespace lzc {

enum class Status {
    ok,
    busy,              // the compressor object is already running a compression
    sourceMissing,     // no file by that name (or a dangling link)
    sourceIsLink,      // a symbolic link, not followed
    sourceNotRegular,  // a directory, device, FIFO or socket
    sourceTooLarge,    // more than kMaxSourceSize bytes to compress
    emptyInput,        // nothing to compress, or an empty compressed file
    invalidStream,     // not a stream the decoder can restore
    readFailed,        // the source could not be read (systemError says why)
    writeFailed,       // the destination could not be written (systemError says why)
    streamTooLong,     // longer than any .lzc stream can be (kMaxStreamSize): not one
    outOfMemory,       // memory ran out for this file
    cancelled,         // the caller declined to replace the destination, which is untouched
    sameFile,          // the destination is the source itself
};

// A short English description of `status` for messages and logs: a static string, never null.
const char* statusText(Status status);

}  // namespace lzc
