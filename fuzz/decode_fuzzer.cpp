// Decoding arbitrary bytes: the decoder either refuses the stream or restores at most 32767
// bytes, and never touches memory outside its buffers (the sanitizers watch that).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lzc/codec.h"
#include "lzc/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every progress report stays within the stream (the last one up to two past its end).
    const auto progress = [size](std::int64_t done, std::int64_t total) {
        if (total != static_cast<std::int64_t>(size) || done < 0 || done > total + 2) {
            std::abort();
        }
    };
    std::vector<std::uint8_t> restored;
    const lzc::Status status = lzc::decompressBuffer({data, size}, restored, progress, 1);
    switch (status) {
        case lzc::Status::ok:
            if (restored.size() > static_cast<std::size_t>(lzc::kMaxSourceSize)) {
                std::abort();
            }
            break;
        case lzc::Status::invalidStream:
        case lzc::Status::emptyInput:
            if (!restored.empty()) {
                std::abort();
            }
            break;
        default:
            std::abort();
    }
    return 0;
}
