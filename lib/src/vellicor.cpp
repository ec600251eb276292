// The C interface over the codec. Every entry point is noexcept (VELLICOR_NOTHROW): the codec
// reports running out of memory as a status, and the allocations made here are caught, so
// only an exception thrown by a caller's progress callback could escape, and that ends the
// program instead.
#include "vellicor.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "lzc/codec.h"
#include "lzc/format.h"
#include "lzc/quality.h"

static_assert(VELLICOR_MAX_SOURCE_SIZE == lzc::kMaxSourceSize);
static_assert(VELLICOR_MAX_STREAM_SIZE == lzc::kMaxStreamSize);
static_assert(VELLICOR_MAX_WINDOW == lzc::kMaxSourceSize);

struct vellicor_compressor {
    lzc::Compressor codec;
    std::vector<std::uint8_t> stream;  // kept between calls: its capacity is reused
    bool running = false;
    bool freeWhenDone = false;  // freed from inside its own progress callback
};

namespace {

int statusCode(lzc::Status status) {
    switch (status) {
        case lzc::Status::ok:
            return VELLICOR_OK;
        case lzc::Status::emptyInput:
            return VELLICOR_EMPTY_INPUT;
        case lzc::Status::sourceTooLarge:
            return VELLICOR_SOURCE_TOO_LARGE;
        case lzc::Status::invalidStream:
            return VELLICOR_INVALID_STREAM;
        case lzc::Status::outOfMemory:
            return VELLICOR_OUT_OF_MEMORY;
        case lzc::Status::busy:
            return VELLICOR_BUSY;
    }
    return VELLICOR_BAD_ARGUMENT;  // not a status: every one is listed above
}

// A buffer given as pointer and size is usable when its pointer is set or its size is 0.
bool usable(const void* data, std::size_t size) {
    return data != nullptr || size == 0;
}

std::span<const std::uint8_t> bytes(const void* data, std::size_t size) {
    return size == 0 ? std::span<const std::uint8_t>{}
                     : std::span{static_cast<const std::uint8_t*>(data), size};
}

// Copies `result` to the caller's buffer when it fits.
int deliver(int status, const std::vector<std::uint8_t>& result, void* dest, std::size_t capacity,
            std::size_t* written) {
    if (status != VELLICOR_OK) {
        return status;
    }
    if (result.size() > capacity) {
        return VELLICOR_DESTINATION_TOO_SMALL;
    }
    if (!result.empty()) {
        std::memcpy(dest, result.data(), result.size());
    }
    *written = result.size();
    return VELLICOR_OK;
}

}  // namespace

extern "C" {

int vellicor_version_number(void) VELLICOR_NOTHROW {
    return VELLICOR_VERSION_NUMBER;
}

const char* vellicor_version_string(void) VELLICOR_NOTHROW {
    return VELLICOR_VERSION_STRING;
}

const char* vellicor_status_text(int status) VELLICOR_NOTHROW {
    switch (status) {
        case VELLICOR_OK:
            return "success";
        case VELLICOR_EMPTY_INPUT:
            return "empty input";
        case VELLICOR_SOURCE_TOO_LARGE:
            return "larger than 32767 bytes";
        case VELLICOR_INVALID_STREAM:
            return "not a valid .lzc stream";
        case VELLICOR_DESTINATION_TOO_SMALL:
            return "destination too small";
        case VELLICOR_OUT_OF_MEMORY:
            return "not enough memory";
        case VELLICOR_BAD_ARGUMENT:
            return "bad argument";
        case VELLICOR_BUSY:
            return "the compressor is already running";
        default:
            return "unknown status";
    }
}

int vellicor_window_for_level(int level) VELLICOR_NOTHROW {
    if (level < lzc::kFastestLevel || level > lzc::kBestLevel) {
        return 0;
    }
    return lzc::qualityOfLevel(level).window;
}

size_t vellicor_compress_bound(size_t source_size) VELLICOR_NOTHROW {
    if (source_size == 0 || source_size > VELLICOR_MAX_SOURCE_SIZE) {
        return 0;
    }
    // A literal run costs its bytes and 2, or 3 with the filler before a match; a match costs 4
    // and covers at least 4 bytes, or 5 after a run. So each run but the last adds at most 2
    // and covers at least 6 bytes with its match, and the last run adds 2.
    return source_size + 2 + 2 * ((source_size - 1) / 6);
}

int vellicor_compression_ratio(size_t source_size, size_t stream_size) VELLICOR_NOTHROW {
    return lzc::compressionRatio(source_size, stream_size);
}

vellicor_compressor* vellicor_compressor_new(void) VELLICOR_NOTHROW {
    return new (std::nothrow) vellicor_compressor{};
}

void vellicor_compressor_free(vellicor_compressor* compressor) VELLICOR_NOTHROW {
    if (compressor != nullptr && compressor->running) {
        compressor->freeWhenDone = true;
        return;
    }
    delete compressor;
}

int vellicor_compress_with_progress(vellicor_compressor* compressor, const void* source,
                                    size_t source_size, int window, void* dest,
                                    size_t dest_capacity, size_t* written,
                                    vellicor_progress_fn progress,
                                    void* user_data) VELLICOR_NOTHROW {
    if (written != nullptr) {
        *written = 0;
    }
    if (compressor == nullptr || written == nullptr || !usable(source, source_size) ||
        !usable(dest, dest_capacity) || window < VELLICOR_MIN_WINDOW ||
        window > VELLICOR_MAX_WINDOW) {
        return VELLICOR_BAD_ARGUMENT;
    }
    // A call from inside the running one's progress callback: refused before anything of the
    // running call's (the flags below, the stream buffer) is touched.
    if (compressor->running) {
        return VELLICOR_BUSY;
    }
    // Set before the callback is made, so that a call from inside it sees this one running.
    compressor->running = true;
    int status = VELLICOR_OUT_OF_MEMORY;
    try {
        lzc::ProgressCallback report;
        if (progress != nullptr) {
            report = [progress, user_data](std::int64_t done, std::int64_t total) {
                progress(user_data, static_cast<size_t>(done), static_cast<size_t>(total));
            };
        }
        status = statusCode(compressor->codec.compress(bytes(source, source_size), window,
                                                       compressor->stream, report));
    } catch (const std::bad_alloc&) {
        // Only the callback's wrapper can get here; the codec reports its own.
    }
    compressor->running = false;
    status = deliver(status, compressor->stream, dest, dest_capacity, written);
    if (compressor->freeWhenDone) {
        delete compressor;
    }
    return status;
}

int vellicor_compress(vellicor_compressor* compressor, const void* source, size_t source_size,
                      int window, void* dest, size_t dest_capacity,
                      size_t* written) VELLICOR_NOTHROW {
    return vellicor_compress_with_progress(compressor, source, source_size, window, dest,
                                           dest_capacity, written, nullptr, nullptr);
}

int vellicor_decompress(const void* stream, size_t stream_size, void* dest, size_t dest_capacity,
                        size_t* written) VELLICOR_NOTHROW {
    if (written != nullptr) {
        *written = 0;
    }
    if (written == nullptr || !usable(stream, stream_size) || !usable(dest, dest_capacity)) {
        return VELLICOR_BAD_ARGUMENT;
    }
    std::vector<std::uint8_t> restored;
    const int status = statusCode(lzc::decompressBuffer(bytes(stream, stream_size), restored));
    return deliver(status, restored, dest, dest_capacity, written);
}

}  // extern "C"
