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
static unsigned char large[kLarge];  // letters with repeats far apart
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

// Round trips in destinations of the bound's size and a byte short, among them a stream as long
// as its bound (runs of one byte between shortest matches).
static void testRoundTrips(vellicor_compressor* compressor) {
    const struct {
        const void* source;
        size_t size;
        size_t streamSize;  // 0: not checked
    } cases[] = {{"abcdeXabcdeYabcdeZ", 18, 24}, {large, 1, 3}, {large, 20000, 0}};
    for (size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        const size_t size = cases[c].size, bound = vellicor_compress_bound(size);
        size_t written = 0, less = 99, restoredSize = 99;
        int status = vellicor_compress(compressor, cases[c].source, size, VELLICOR_MAX_WINDOW,
                                       scratch, bound, &written);
        CHECK(status == VELLICOR_OK && (written == cases[c].streamSize || !cases[c].streamSize),
              "case %zu: status %d, %zu bytes", c, status, written);
        status = vellicor_compress(compressor, cases[c].source, size, VELLICOR_MAX_WINDOW,
                                   scratch + 1, written - 1, &less);
        CHECK(status == VELLICOR_DESTINATION_TOO_SMALL && less == 0, "a byte less: %d", status);

        static unsigned char restored[VELLICOR_MAX_SOURCE_SIZE];
        status = vellicor_decompress(scratch, written, restored, size - 1, &restoredSize);
        CHECK(status == VELLICOR_DESTINATION_TOO_SMALL && restoredSize == 0, "short: %d", status);
        status = vellicor_decompress(scratch, written, restored, size, &restoredSize);
        CHECK(status == VELLICOR_OK && restoredSize == size &&
                  memcmp(restored, cases[c].source, size) == 0,
              "case %zu restored: %d", c, status);
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

    vellicor_compressor* compressor = vellicor_compressor_new();
    CHECK(compressor != NULL, "a compressor");
    testRoundTrips(compressor);
    testRefusals(compressor);
    testStatusTexts();
    testProgress(compressor);
    vellicor_compressor_free(compressor);
    vellicor_compressor_free(NULL);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
