// Decoding arbitrary bytes: the decoder either refuses the stream or restores at most 32767
// bytes, and never touches memory outside its buffers (the sanitizers watch that).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lzc/codec.h"
#include "lzc/format.h"

namespace {

// A track, so that every progress update is computed too.
class CheckedProgress final : public lzc::ProgressPair {
public:
    bool hasTrack() const override { return true; }
    float trackWidth() const override { return 4455.0F; }
    void setBarWidth(float width) override {
        if (!(width >= 0.0F)) {
            std::abort();
        }
    }
    void processEvents() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckedProgress progress;
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
