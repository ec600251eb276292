#include "process_setup.h"

namespace lzc::cli {

std::vector<std::string> setUpProcess(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace lzc::cli
