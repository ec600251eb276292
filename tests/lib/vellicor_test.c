// The C interface, called from C99 as its users call it: streams, statuses, bounds, progress.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vellicor.h"

static int failures = 0;

#define CHECK(condition, ...)                                               \
    do {                                                                    \
        if (!(condition)) {                                                 \
            ++failures;                                                     \
            fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #condition); \
            fprintf(stderr, __VA_ARGS__);                                   \
            fputc('\n', stderr);                                            \
        }                                                                   \
    } while (0)

enum { kLarge = VELLICOR_MAX_SOURCE_SIZE + 1 };
static unsigned char large[kLarge];  // text-like bytes with repeats far apart
static unsigned char scratch[VELLICOR_MAX_STREAM_SIZE];

static void fillLarge(void) {
    unsigned state = 12345;
    for (size_t i = 0; i < kLarge; ++i) {
        state = state * 1103515245u + 12345u;
        // Every 4096 bytes, a stretch that repeats one 2000 bytes back or 6000 bytes back.
        const size_t back = (i / 4096) % 2 ? 2000 : 6000;
        large[i] = (i % 4096 < 1500 && i >= back) ? large[i - back]
                                                  : (unsigned char)('a' + (state >> 16) % 20);
    }
}

// The format's worked examples: the same stream at every window.
static void testKnownStreams(vellicor_compressor* compressor) {
    static const struct {
        const char* source;
        size_t streamSize;
        const char* stream;
    } cases[] = {
        {"ABCDABCDABCDABCDX", 14,
         "\x80\x04"
         "ABCD"
         "A"
         "\x00\x01\x00\x0c"
         "\x80\x01X"},
        {"aaaaaaaaaaaaaaaa", 11,
         "\x80\x01"
         "a"
         "a"
         "\x00\x01\x00\x0e"
         "\x80\x01"
         "a"},
        {"X", 3, "\x80\x01X"},
        // Runs of one byte between shortest matches: a stream as long as the bound.
        {"abcdeXabcdeYabcdeZ", 24,
         "\x80\x06"
         "abcdeX"
         "a"
         "\x00\x01\x00\x05"
         "\x80\x01Y"
         "a"
         "\x00\x01\x00\x05"
         "\x80\x01Z"},
    };
    for (size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        for (int level = 1; level <= 9; ++level) {
            size_t written = 99;
            const int status = vellicor_compress(
                compressor, cases[c].source, strlen(cases[c].source),
                vellicor_window_for_level(level), scratch, sizeof scratch, &written);
            CHECK(status == VELLICOR_OK && written == cases[c].streamSize &&
                      memcmp(scratch, cases[c].stream, written) == 0 &&
                      written <= vellicor_compress_bound(strlen(cases[c].source)),
                  "case %zu, level %d: status %d, %zu bytes", c, level, status, written);
        }
        char restored[VELLICOR_MAX_SOURCE_SIZE];
        size_t written = 0;
        const int status = vellicor_decompress(cases[c].stream, cases[c].streamSize, restored,
                                               sizeof restored, &written);
        CHECK(status == VELLICOR_OK && written == strlen(cases[c].source) &&
                  memcmp(restored, cases[c].source, written) == 0,
              "case %zu restored: status %d", c, status);
    }
}

// Round trips at each level's window, in destinations of the bound's size and a byte short.
static void testRoundTrips(vellicor_compressor* compressor) {
    static const int windows[] = {0, 1024, 2048, 4092, 8191, 8191, 16383, 16383, 32767, 32767};
    static const size_t sizes[] = {1, 5, 4097, VELLICOR_MAX_SOURCE_SIZE};
    for (int level = 0; level <= 10; ++level) {
        const int window = vellicor_window_for_level(level);
        CHECK(window == (level <= 9 ? windows[level] : 0), "level %d gives %d", level, window);
    }
    for (size_t s = 0; s < sizeof sizes / sizeof sizes[0]; ++s) {
        for (int level = 1; level <= 9; level += 2) {
            size_t written = 0;
            const size_t bound = vellicor_compress_bound(sizes[s]);
            int status =
                vellicor_compress(compressor, large, sizes[s], vellicor_window_for_level(level),
                                  scratch, bound, &written);
            CHECK(status == VELLICOR_OK && written <= bound, "size %zu level %d: %d, %zu > %zu",
                  sizes[s], level, status, written, bound);
            size_t less = 99;
            status =
                vellicor_compress(compressor, large, sizes[s], vellicor_window_for_level(level),
                                  scratch + 1, written - 1, &less);
            CHECK(status == VELLICOR_DESTINATION_TOO_SMALL && less == 0, "a byte less: %d", status);

            static unsigned char restored[VELLICOR_MAX_SOURCE_SIZE];
            size_t restoredSize = 0;
            status = vellicor_decompress(scratch, written, restored, sizes[s], &restoredSize);
            CHECK(status == VELLICOR_OK && restoredSize == sizes[s] &&
                      memcmp(restored, large, sizes[s]) == 0,
                  "size %zu level %d restored: %d", sizes[s], level, status);
            if (sizes[s] > 1) {
                status =
                    vellicor_decompress(scratch, written, restored, sizes[s] - 1, &restoredSize);
                CHECK(status == VELLICOR_DESTINATION_TOO_SMALL && restoredSize == 0,
                      "restored a byte short: %d", status);
            }
        }
    }
    CHECK(vellicor_compress_bound(0) == 0 && vellicor_compress_bound(kLarge) == 0,
          "no bound beyond the sizes a stream holds");
}

// Every refusal, with `written` cleared and the destination untouched.
static void testRefusals(vellicor_compressor* compressor) {
    unsigned char dest[64];
    size_t written;
    const struct {
        const char* what;
        vellicor_compressor* compressor;
        const void* source;
        size_t sourceSize;
        int window;
        void* dest;
        size_t capacity;
        size_t* written;
        int expected;
    } compressions[] = {
        {"empty source", compressor, "", 0, 1, dest, 64, &written, VELLICOR_EMPTY_INPUT},
        {"no source, no size", compressor, NULL, 0, 1, dest, 64, &written, VELLICOR_EMPTY_INPUT},
        {"too large", compressor, large, kLarge, 1, dest, 64, &written, VELLICOR_SOURCE_TOO_LARGE},
        {"no compressor", NULL, "ab", 2, 1, dest, 64, &written, VELLICOR_BAD_ARGUMENT},
        {"no source", compressor, NULL, 2, 1, dest, 64, &written, VELLICOR_BAD_ARGUMENT},
        {"no destination", compressor, "ab", 2, 1, NULL, 64, &written, VELLICOR_BAD_ARGUMENT},
        {"nowhere to say the size", compressor, "ab", 2, 1, dest, 64, NULL, VELLICOR_BAD_ARGUMENT},
        {"window 0", compressor, "ab", 2, 0, dest, 64, &written, VELLICOR_BAD_ARGUMENT},
        {"window 32768", compressor, "ab", 2, 32768, dest, 64, &written, VELLICOR_BAD_ARGUMENT},
        {"no room", compressor, "ab", 2, 1, NULL, 0, &written, VELLICOR_DESTINATION_TOO_SMALL},
    };
    for (size_t c = 0; c < sizeof compressions / sizeof compressions[0]; ++c) {
        memset(dest, 0xA5, sizeof dest);
        written = 99;
        const int status = vellicor_compress(compressions[c].compressor, compressions[c].source,
                                             compressions[c].sourceSize, compressions[c].window,
                                             compressions[c].dest, compressions[c].capacity,
                                             compressions[c].written);
        CHECK(status == compressions[c].expected && written == (compressions[c].written ? 0 : 99) &&
                  dest[0] == 0xA5,
              "%s: status %d, written %zu", compressions[c].what, status, written);
    }

    const struct {
        const char* what;
        const void* stream;
        size_t streamSize;
        void* dest;
        size_t* written;
        int expected;
    } decompressions[] = {
        {"empty stream", "", 0, dest, &written, VELLICOR_EMPTY_INPUT},
        {"a match at position 0", "\x80\x01X\x00\x00\x00\x00\x02", 8, dest, &written,
         VELLICOR_INVALID_STREAM},
        {"a match past the bytes restored", "\x80\x01X\x00\x00\x02\x00\x02", 8, dest, &written,
         VELLICOR_INVALID_STREAM},
        {"a token cut off", "\x80\x05XY", 4, dest, &written, VELLICOR_INVALID_STREAM},
        {"longer than any stream", scratch, VELLICOR_MAX_STREAM_SIZE + 1, dest, &written,
         VELLICOR_INVALID_STREAM},
        {"no stream", NULL, 3, dest, &written, VELLICOR_BAD_ARGUMENT},
        {"no destination", "\x80\x01X", 3, NULL, &written, VELLICOR_BAD_ARGUMENT},
        {"nowhere to say the size", "\x80\x01X", 3, dest, NULL, VELLICOR_BAD_ARGUMENT},
        {"tokens that restore nothing", "\x80\x00", 2, dest, &written, VELLICOR_OK},
    };
    for (size_t c = 0; c < sizeof decompressions / sizeof decompressions[0]; ++c) {
        memset(dest, 0xA5, sizeof dest);
        written = 99;
        const int status =
            vellicor_decompress(decompressions[c].stream, decompressions[c].streamSize,
                                decompressions[c].dest, sizeof dest, decompressions[c].written);
        CHECK(status == decompressions[c].expected &&
                  written == (decompressions[c].written ? 0 : 99) && dest[0] == 0xA5,
              "%s: status %d, written %zu", decompressions[c].what, status, written);
    }
}

// Each status has words of its own.
static void testStatusTexts(void) {
    for (int status = VELLICOR_OK; status <= VELLICOR_BUSY; ++status) {
        const char* text = vellicor_status_text(status);
        CHECK(text != NULL && strcmp(text, "unknown status") != 0, "status %d", status);
        for (int other = VELLICOR_OK; other < status; ++other) {
            CHECK(strcmp(text, vellicor_status_text(other)) != 0, "%d and %d", status, other);
        }
    }
    CHECK(strcmp(vellicor_status_text(-1), "unknown status") == 0, "-1");
}

// A progress callback that counts its calls and, if asked, calls back into the library.
struct Progress {
    vellicor_compressor* compressor;
    int calls;
    size_t lastDone;
    size_t total;
    int nestedStatus;
    int freeInside;
};

static void onProgress(void* user_data, size_t done, size_t total) {
    struct Progress* progress = user_data;
    ++progress->calls;
    progress->lastDone = done;
    progress->total = total;
    unsigned char dest[16];
    size_t written = 0;
    progress->nestedStatus =
        vellicor_compress(progress->compressor, "abc", 3, 1, dest, sizeof dest, &written);
    if (progress->freeInside) {
        vellicor_compressor_free(progress->compressor);
    }
}

static void testProgress(vellicor_compressor* compressor) {
    size_t plain = 0;
    CHECK(vellicor_compress(compressor, large, VELLICOR_MAX_SOURCE_SIZE, VELLICOR_MAX_WINDOW,
                            scratch, sizeof scratch, &plain) == VELLICOR_OK,
          "the stream without progress");
    unsigned char* const expected = malloc(plain);
    memcpy(expected, scratch, plain);

    for (int freeInside = 0; freeInside <= 1; ++freeInside) {
        struct Progress progress = {
            freeInside ? vellicor_compressor_new() : compressor, 0, 0, 0, -1, freeInside};
        size_t written = 0;
        memset(scratch, 0, sizeof scratch);
        const int status = vellicor_compress_with_progress(
            progress.compressor, large, VELLICOR_MAX_SOURCE_SIZE, VELLICOR_MAX_WINDOW, scratch,
            sizeof scratch, &written, onProgress, &progress);
        CHECK(status == VELLICOR_OK && written == plain && memcmp(scratch, expected, plain) == 0,
              "free inside %d: status %d, the same stream", freeInside, status);
        CHECK(progress.calls > 1 && progress.total == VELLICOR_MAX_SOURCE_SIZE &&
                  progress.lastDone > progress.total,
              "%d calls, last %zu of %zu", progress.calls, progress.lastDone, progress.total);
        CHECK(progress.nestedStatus == VELLICOR_BUSY, "a call from inside: %d",
              progress.nestedStatus);
    }
    free(expected);
}

int main(void) {
    fillLarge();
    CHECK(vellicor_version_number() == VELLICOR_VERSION_NUMBER &&
              strcmp(vellicor_version_string(), VELLICOR_VERSION_STRING) == 0 &&
              strcmp(VELLICOR_VERSION_STRING, PROJECT_VERSION) == 0,
          "version %s", vellicor_version_string());
    CHECK(vellicor_compression_ratio(17, 14) == 8333 && vellicor_compression_ratio(1, 3) == 20000,
          "the size figure");

    vellicor_compressor* compressor = vellicor_compressor_new();
    CHECK(compressor != NULL, "a compressor");
    testKnownStreams(compressor);
    testRoundTrips(compressor);
    testRefusals(compressor);
    testStatusTexts();
    testProgress(compressor);
    vellicor_compressor_free(compressor);
    vellicor_compressor_free(NULL);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
