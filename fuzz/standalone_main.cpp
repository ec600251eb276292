// Runs a fuzz target without libFuzzer: feeds it every file named on the command line, and
// every file in every directory named there, once each. A finding aborts the process.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "lzc/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(named, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(named, error)) {
                if (entry.is_regular_file(error)) {
                    files.push_back(entry.path());
                }
            }
        } else {
            files.push_back(named);
        }
        if (error) {
            std::fprintf(stderr, "cannot list %s\n", argv[i]);
            return 1;
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        const lzc::fileio::ReadResult read = lzc::fileio::readFile(file, std::size_t{1} << 24);
        if (read.problem != lzc::fileio::ReadProblem::none) {
            std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(read.bytes.data(), read.bytes.size());
    }
    std::printf("%zu inputs run\n", files.size());
    return files.empty() ? 1 : 0;
}
