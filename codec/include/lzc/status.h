// What the codec reports back. The codec never shows messages: callers turn these into words for
// their users.
#pragma once

namespace lzc {

enum class Status {
    ok,
    busy,            // the compressor object is already running a compression
    sourceTooLarge,  // more than kMaxSourceSize bytes to compress
    emptyInput,      // nothing to compress, or an empty stream
    invalidStream,   // not a stream the decoder can restore
    outOfMemory,     // memory ran out for this source or stream
};

}  // namespace lzc
