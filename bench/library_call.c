// The cost of one vellicor_compress() call from C, on 1 byte and on 32767 bytes, with one
// compressor for every call: the baseline that bench/python_calls.py compares Python with.
//   vellicor_library_bench FILE   (the first 32767 bytes of FILE are the large source)
#define _POSIX_C_SOURCE 199309L  // clock_gettime

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "vellicor.h"

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    static unsigned char source[VELLICOR_MAX_SOURCE_SIZE], stream[VELLICOR_MAX_STREAM_SIZE];
    FILE* file = argc > 1 ? fopen(argv[1], "rb") : NULL;
    if (file == NULL) {
        fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 1;
    }
    const size_t size = fread(source, 1, sizeof source, file);
    fclose(file);
    vellicor_compressor* compressor = vellicor_compressor_new();
    const size_t sizes[] = {1, size};
    for (int s = 0; s < 2; ++s) {
        const int calls = sizes[s] == 1 ? 200000 : 300;
        double best = 1e9;
        for (int round = 0; round < 5; ++round) {
            const double start = now();
            for (int call = 0; call < calls; ++call) {
                size_t written;
                vellicor_compress(compressor, source, sizes[s], VELLICOR_MAX_WINDOW, stream,
                                  sizeof stream, &written);
            }
            const double each = (now() - start) / calls;
            best = each < best ? each : best;
        }
        printf("C, %zu bytes: %.2f us a call\n", sizes[s], best * 1e6);
    }
    vellicor_compressor_free(compressor);
    return 0;
}
