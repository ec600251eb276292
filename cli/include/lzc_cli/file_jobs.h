// The per-input work of lzc: compressing, restoring, testing and listing files and standard
// streams through the codec, and telling the user what happened.
#pragma once

#include <cstdio>

#include "lzc_cli/command_line.h"

namespace lzc::cli {

// The standard streams the tool works with, handed in so that they can be replaced.
struct Streams {
    int input = 0;                 // read for the input "-"
    int output = 1;                // compressed or restored data, and -l's table
    std::FILE* messages = stderr;  // errors and -v lines
    bool outputIsTerminal = false;
    bool inputIsTerminal = false;
};

// Runs the settings' mode over every input in order; a failing input is reported as
// "lzc: NAME: reason" and the next one is still processed. Returns the exit status
// (exit_status.h): 1 when any input failed, 2 when some were only warned about.
int runInputs(const Settings& settings, const Streams& streams);

}  // namespace lzc::cli
