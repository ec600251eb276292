// The decoder.
//
// Promise: whatever `stream` holds, the decoder never reads outside it and never writes outside
// the restored data. Every field is checked before it is used; a stream that breaks a check is
// refused as a whole.
#include <algorithm>
#include <limits>

#include "lzc/codec.h"
#include "lzc/format.h"
#include "progress_meter.h"

namespace lzc {

Status decompressBuffer(std::span<const std::uint8_t> stream, std::vector<std::uint8_t>& out,
                        ProgressPair& progress, std::int32_t interval) {
    out.clear();
    if (stream.empty()) {
        return Status::emptyInput;
    }
    // Stream positions are 32-bit.
    if (stream.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 2) {
        return Status::invalidStream;
    }
    const auto streamLength = static_cast<std::int64_t>(stream.size());
    constexpr auto kMaxRestored = static_cast<std::size_t>(kMaxSourceSize);

    std::vector<std::uint8_t> restored;
    restored.reserve(kMaxRestored);
    ProgressMeter meter(progress, interval);

    std::size_t offset = 0;
    while (offset < stream.size()) {
        LzcToken token;
        if (readToken(stream, offset, token) != TokenRead::ok) {
            return Status::invalidStream;
        }
        const auto length = static_cast<std::size_t>(token.length);
        if (length > kMaxRestored - restored.size()) {
            return Status::invalidStream;
        }
        if (token.kind == LzcToken::Kind::literal) {
            const auto first = stream.begin() + static_cast<std::ptrdiff_t>(token.literalStart);
            restored.insert(restored.end(), first, first + static_cast<std::ptrdiff_t>(length));
        } else {
            if (token.position < 1 || static_cast<std::size_t>(token.position) > restored.size()) {
                return Status::invalidStream;
            }
            // One byte at a time, in ascending order: the range may run into the bytes this
            // same match is producing, which then repeat. A block copy would break that.
            for (std::size_t from = static_cast<std::size_t>(token.position) - 1, i = 0; i < length;
                 ++i) {
                restored.push_back(restored[from + i]);
            }
        }
        // The 1-based position of the token's last byte read equals the 0-based start of the
        // next token (for a literal run, that is its filler slot).
        meter.step(static_cast<std::int64_t>(token.next), streamLength);
        offset = token.next;
    }
    meter.finish(static_cast<std::int64_t>(offset) + 1, streamLength);

    out = std::move(restored);
    return Status::ok;
}

}  // namespace lzc
