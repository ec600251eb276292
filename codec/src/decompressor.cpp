// The decoder.
//
// Promise: whatever `stream` holds, the decoder never reads outside it and never writes outside
// the restored data. Every field is checked before it is used; a stream that breaks a check is
// refused as a whole.
//
// Literal runs and matches that do not overlap their own output are copied as blocks; a match
// that does is copied one byte at a time, in ascending order, as the format requires.
#include <algorithm>
#include <cstring>
#include <new>

#include "lzc/codec.h"
#include "progress_meter.h"
#include "stream_tokens.h"

namespace lzc {
namespace {

Status decode(std::span<const std::uint8_t> stream, std::vector<std::uint8_t>& out,
              const ProgressCallback& progress, std::int32_t interval) {
    const auto streamLength = static_cast<std::int64_t>(stream.size());
    constexpr auto kMaxRestored = static_cast<std::size_t>(kMaxSourceSize);

    // Restored bytes go straight into a buffer of the largest size the format allows; every
    // length is checked against what is left of it before anything is copied. A short copy
    // moves a fixed kShortCopy bytes, which the slack at the end of the buffer has room for;
    // bytes beyond the copy's length are overwritten later or cut off at the end.
    constexpr std::size_t kShortCopy = 16;
    std::vector<std::uint8_t> restored(kMaxRestored + kShortCopy);
    std::uint8_t* const target = restored.data();
    std::size_t written = 0;
    ProgressMeter meter(progress, interval);

    std::size_t offset = 0;
    while (offset < stream.size()) {
        LzcToken token;
        if (readToken(stream, offset, token) != TokenRead::ok) {
            return Status::invalidStream;
        }
        const auto length = static_cast<std::size_t>(token.length);
        if (length > kMaxRestored - written) {
            return Status::invalidStream;
        }
        if (token.kind == LzcToken::Kind::literal) {
            const std::uint8_t* const literal = stream.data() + token.literalStart;
            if (length <= kShortCopy && stream.size() - token.literalStart >= kShortCopy) {
                std::memcpy(target + written, literal, kShortCopy);
            } else {
                std::copy_n(literal, length, target + written);
            }
        } else {
            if (token.position < 1 || static_cast<std::size_t>(token.position) > written) {
                return Status::invalidStream;
            }
            const std::size_t from = static_cast<std::size_t>(token.position) - 1;
            if (length <= kShortCopy && written - from >= kShortCopy) {
                // Source and target lie kShortCopy or more apart: the fixed copy cannot overlap.
                std::memcpy(target + written, target + from, kShortCopy);
            } else if (from + length <= written) {
                // The copy lies wholly in bytes restored before this match.
                std::copy_n(target + from, length, target + written);
            } else {
                // The copy runs into the bytes this same match produces, which then repeat:
                // one byte at a time, in ascending order. A block copy (memcpy, memmove)
                // would read those bytes before they are written.
                for (std::size_t i = 0; i < length; ++i) {
                    target[written + i] = target[from + i];
                }
            }
        }
        written += length;
        // The 1-based position of the token's last byte read equals the 0-based start of the
        // next token (for a literal run, that is its filler slot).
        meter.step(static_cast<std::int64_t>(token.next), streamLength);
        offset = token.next;
    }
    meter.finish(static_cast<std::int64_t>(offset) + 1, streamLength);

    restored.resize(written);
    out = std::move(restored);
    return Status::ok;
}

}  // namespace

Status decompressBuffer(std::span<const std::uint8_t> stream, std::vector<std::uint8_t>& out,
                        const ProgressCallback& progress, std::int32_t interval) {
    out.clear();
    if (stream.empty()) {
        return Status::emptyInput;
    }
    if (stream.size() > kMaxStreamSize) {
        return Status::invalidStream;
    }
    try {
        return decode(stream, out, progress, interval);
    } catch (const std::bad_alloc&) {
        out.clear();
        return Status::outOfMemory;
    }
}

}  // namespace lzc
