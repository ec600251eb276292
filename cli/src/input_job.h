// One input's work, done wherever a worker thread is free: its output named, the file operation
// run, and everything to tell the user kept in a report that is printed in the inputs' order.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "lzc/codec.h"
#include "lzc/tree_walk.h"
#include "lzc_cli/command_line.h"
#include "lzc_cli/file_jobs.h"

namespace lzc::cli {

// An input: a name from the command line, or a file that a directory walk found.
struct Input {
    std::string name;  // as given, or the walk's path (UTF-8): what messages show
    // A file found by a walk: the directory it is in and its name there.
    std::shared_ptr<const fileio::OpenDirectory> directory;
    std::string leaf;
};

// What became of one input, to be printed once every input before it has been.
struct JobReport {
    std::string messages;  // whole lines for the messages stream
    bool error = false;
    bool warning = false;
    // -l: the row of this input, when it was read.
    struct Listed {
        std::uintmax_t compressed = 0;
        std::uintmax_t restored = 0;
        std::string name;
    };
    std::optional<Listed> listed;

    // "lzc: NAME: reason" (NAME as messages show it); a warning is not said under -q.
    void fail(const std::string& name, const std::string& reason);
    void warn(const std::string& name, const std::string& reason, bool quiet);
};

// Works on `input` with `compressor`, as the settings say. Safe to run on several threads at
// once with distinct compressors; standard output is written only when the run is sequential.
JobReport runInput(const Settings& settings, const Streams& streams, const Input& input,
                   Compressor& compressor);

}  // namespace lzc::cli
