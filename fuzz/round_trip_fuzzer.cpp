// Compressing any source of 1 to 32767 bytes at any window: the output restores to the source,
// and a compressor that has served every earlier input gives the same bytes as a fresh one. The
// first two input bytes choose the window; the rest is the source.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "lzc/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size - 2 > static_cast<std::size_t>(lzc::kMaxSourceSize)) {
        return -1;  // not a usable input: keep it out of the corpus
    }
    const std::int32_t window = 1 + ((data[0] << 8) | data[1]) % lzc::kMaxSourceSize;
    const std::span<const std::uint8_t> source(data + 2, size - 2);

    static lzc::Compressor reused;
    std::vector<std::uint8_t> compressed;
    if (reused.compress(source, window, compressed) != lzc::Status::ok) {
        std::abort();
    }
    std::vector<std::uint8_t> again;
    if (lzc::Compressor().compress(source, window, again) != lzc::Status::ok ||
        again != compressed) {
        std::abort();
    }
    std::vector<std::uint8_t> restored;
    if (lzc::decompressBuffer(compressed, restored) != lzc::Status::ok ||
        !std::equal(restored.begin(), restored.end(), source.begin(), source.end())) {
        std::abort();
    }
    return 0;
}
