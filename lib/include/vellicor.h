// vellicor.h: the Vellicor codec for C and every language that can call C.
//
// Vellicor turns a source of 1 to 32767 bytes into a ".lzc" stream and restores it exactly.
// A stream has no header, no stored length and no checksum; the same source and search window
// always give the same stream, byte for byte the one that the `lzc` command writes.
//
// Every function returns; none throws, exits or prints. A failure is a status: 0
// (VELLICOR_OK) is success, anything else one of the VELLICOR_* statuses below, which
// vellicor_status_text() words in English.
//
// Memory: a compressor keeps what its compressions allocated (under 1.1 MiB) until it is
// freed; a decompression allocates 32 KiB for the length of the call. The library keeps no
// pointer that the caller gave it once the call has returned.
//
// Thread safety: a vellicor_compressor is used by one thread at a time; distinct compressors
// may be used at the same time from different threads. Every other function may be called from
// any thread at any time. The library has no global state.
//
// This header is C99 and may be included from C++.
#ifndef VELLICOR_H
#define VELLICOR_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// The library's version, as this header knows it; vellicor_version_number() tells which
// version is loaded. VELLICOR_VERSION_NUMBER is MAJOR * 10000 + MINOR * 100 + PATCH.
#define VELLICOR_VERSION_MAJOR 1
#define VELLICOR_VERSION_MINOR 0
#define VELLICOR_VERSION_PATCH 0
#define VELLICOR_VERSION_STRING "1.0.0"
#define VELLICOR_VERSION_NUMBER \
    (VELLICOR_VERSION_MAJOR * 10000 + VELLICOR_VERSION_MINOR * 100 + VELLICOR_VERSION_PATCH)

// How the functions are declared: exported from the shared library (or DLL), nothing for the
// static one. Define VELLICOR_STATIC before including this header to link the static library
// on Windows.
#if defined(_WIN32) && !defined(VELLICOR_STATIC)
#ifdef VELLICOR_BUILDING_DLL
#define VELLICOR_API __declspec(dllexport)
#else
#define VELLICOR_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define VELLICOR_API __attribute__((visibility("default")))
#else
#define VELLICOR_API
#endif

// Every function returns, whatever happens: in C++ it is noexcept.
#ifdef __cplusplus
#define VELLICOR_NOTHROW noexcept
#else
#define VELLICOR_NOTHROW
#endif

// The statuses. Their values are fixed: a later version may add statuses, never renumber.
#define VELLICOR_OK 0
// An empty source, or an empty stream: there is nothing to compress or restore.
#define VELLICOR_EMPTY_INPUT 1
// A source of more than VELLICOR_MAX_SOURCE_SIZE bytes: no stream can hold it.
#define VELLICOR_SOURCE_TOO_LARGE 2
// Not a stream that restores anything: a token cut off, a match that starts at position 0 or
// beyond the bytes restored so far, more than VELLICOR_MAX_SOURCE_SIZE bytes restored, or a
// stream longer than VELLICOR_MAX_STREAM_SIZE.
#define VELLICOR_INVALID_STREAM 3
// The result is longer than the destination's capacity.
#define VELLICOR_DESTINATION_TOO_SMALL 4
// Memory ran out. Nothing is lost: the call may be made again.
#define VELLICOR_OUT_OF_MEMORY 5
// A null pointer where an object or buffer is needed, or a window outside 1 ... 32767.
#define VELLICOR_BAD_ARGUMENT 6
// The compressor is already running a compression: a call from inside its progress callback.
#define VELLICOR_BUSY 7

// The largest source, and so the largest restored data: positions and lengths are 15-bit. A
// destination of this many bytes holds whatever a stream restores.
#define VELLICOR_MAX_SOURCE_SIZE 32767
// The longest stream vellicor_decompress() reads: no stream that a compressor writes is longer
// (each token restores at least one byte in at most four stream bytes).
#define VELLICOR_MAX_STREAM_SIZE 131072
// The search windows: how many positions back a repeat may start. The largest is the best.
#define VELLICOR_MIN_WINDOW 1
#define VELLICOR_MAX_WINDOW 32767

// vellicor_version_number() returns the version of the loaded library, as
// VELLICOR_VERSION_NUMBER counts it (10000 for 1.0.0).
// vellicor_version_string() returns it as text ("1.0.0"), a static string.
VELLICOR_API int vellicor_version_number(void) VELLICOR_NOTHROW;
VELLICOR_API const char* vellicor_version_string(void) VELLICOR_NOTHROW;

// vellicor_status_text() returns a short English description of `status` ("not a valid .lzc
// stream"), without a capital or a full stop, for messages and logs. It is a static string,
// never NULL; an unknown status gives "unknown status".
VELLICOR_API const char* vellicor_status_text(int status) VELLICOR_NOTHROW;

// vellicor_window_for_level() returns the search window of a compression level from 1 (the
// fastest) to 9 (the best), as `lzc -1` ... `lzc -9` choose it: 1024, 2048, 4092, 8191, 8191,
// 16383, 16383, 32767, 32767. Any other level gives 0, which vellicor_compress() refuses.
VELLICOR_API int vellicor_window_for_level(int level) VELLICOR_NOTHROW;

// vellicor_compress_bound() returns the size of the longest stream that a source of
// `source_size` bytes can give: a destination of that capacity always suffices. It returns 0
// for a size of 0 or above VELLICOR_MAX_SOURCE_SIZE, which no stream holds.
VELLICOR_API size_t vellicor_compress_bound(size_t source_size) VELLICOR_NOTHROW;

// vellicor_compression_ratio() returns the size figure that the Vellicor window and `lzc`
// report, in hundredths of a percent: floor((stream_size + 1) / (source_size + 1) * 10000),
// the division done first. 8333 is shown as "83.33%". A figure too large for an int gives the
// largest int.
VELLICOR_API int vellicor_compression_ratio(size_t source_size,
                                            size_t stream_size) VELLICOR_NOTHROW;

// A compressor holds the match search's memory (under 1 MiB, allocated by its first
// compression and kept for the next ones), so that a batch of sources is compressed without
// allocating again. It holds no other state: each compression is independent of the ones
// before it.
typedef struct vellicor_compressor vellicor_compressor;

// vellicor_compressor_new() makes a compressor. It returns NULL if memory ran out.
VELLICOR_API vellicor_compressor* vellicor_compressor_new(void) VELLICOR_NOTHROW;

// vellicor_compressor_free() frees a compressor and its memory. NULL is accepted and does
// nothing. Called from inside the compressor's own progress callback, it frees the compressor
// once the running compression has returned.
VELLICOR_API void vellicor_compressor_free(vellicor_compressor* compressor) VELLICOR_NOTHROW;

// vellicor_compress() compresses a source into a ".lzc" stream.
//
// `compressor`: a compressor from vellicor_compressor_new(), not NULL.
// `source`, `source_size`: the bytes to compress, 1 to VELLICOR_MAX_SOURCE_SIZE of them.
// `source` may be NULL only when `source_size` is 0.
// `window`: how many positions back a repeat may start, VELLICOR_MIN_WINDOW to
// VELLICOR_MAX_WINDOW (vellicor_window_for_level() gives the window of a level). The stream
// is read the same way whatever the window.
// `dest`, `dest_capacity`: where the stream goes; vellicor_compress_bound(source_size) bytes
// always suffice. `dest` may be NULL only when `dest_capacity` is 0. It must not overlap
// `source`.
// `written`: receives the stream's size on success and 0 on failure. Not NULL.
//
// Returns VELLICOR_OK; VELLICOR_EMPTY_INPUT or VELLICOR_SOURCE_TOO_LARGE for a source of the
// wrong size; VELLICOR_DESTINATION_TOO_SMALL; VELLICOR_OUT_OF_MEMORY; VELLICOR_BAD_ARGUMENT;
// or VELLICOR_BUSY when called with a compressor that is running (from inside its progress
// callback). On failure nothing is written to `dest`, and the compressor stays usable.
//
// Thread safety: one call at a time per compressor.
VELLICOR_API int vellicor_compress(vellicor_compressor* compressor, const void* source,
                                   size_t source_size, int window, void* dest, size_t dest_capacity,
                                   size_t* written) VELLICOR_NOTHROW;

// A progress callback: `done` out of `total`, both counted in source bytes. It is called after
// every 128 searches of the compressor, and once more at the end, when `done` stands one or
// two past `total`. `user_data` is the pointer given to vellicor_compress_with_progress(). It
// may call any function of this library; with the compressor that is running it, only
// vellicor_compressor_free() (which then waits for the compression to return) does anything
// but return VELLICOR_BUSY. It must return normally: no longjmp, no C++ exception.
typedef void (*vellicor_progress_fn)(void* user_data, size_t done, size_t total);

// vellicor_compress_with_progress() is vellicor_compress() that also reports its progress to
// `progress` (which may be NULL: then it is vellicor_compress()), handing it `user_data`
// unchanged (which may be anything, NULL too). The stream is the same.
VELLICOR_API int vellicor_compress_with_progress(vellicor_compressor* compressor,
                                                 const void* source, size_t source_size, int window,
                                                 void* dest, size_t dest_capacity, size_t* written,
                                                 vellicor_progress_fn progress,
                                                 void* user_data) VELLICOR_NOTHROW;

// vellicor_decompress() restores the bytes of a ".lzc" stream.
//
// `stream`, `stream_size`: the stream. `stream` may be NULL only when `stream_size` is 0. It
// may hold anything: the decoder never reads outside it and never writes outside `dest`.
// `dest`, `dest_capacity`: where the restored bytes go; VELLICOR_MAX_SOURCE_SIZE bytes always
// suffice. `dest` may be NULL only when `dest_capacity` is 0. It must not overlap `stream`.
// `written`: receives the number of bytes restored on success and 0 on failure. Not NULL.
//
// Returns VELLICOR_OK; VELLICOR_EMPTY_INPUT for an empty stream; VELLICOR_INVALID_STREAM;
// VELLICOR_DESTINATION_TOO_SMALL; VELLICOR_OUT_OF_MEMORY; or VELLICOR_BAD_ARGUMENT. On failure
// nothing is written to `dest`. A stream whose tokens restore nothing (such as 80 00) gives
// VELLICOR_OK and 0 bytes.
//
// Thread safety: may be called from any thread at any time.
VELLICOR_API int vellicor_decompress(const void* stream, size_t stream_size, void* dest,
                                     size_t dest_capacity, size_t* written) VELLICOR_NOTHROW;

#ifdef __cplusplus
}
#endif

#endif  // VELLICOR_H
