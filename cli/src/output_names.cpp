#include "lzc_cli/output_names.h"

#include <filesystem>

#include "lzc/naming.h"

namespace lzc::cli {
namespace {

// On Windows a name whose stem is a device's (aux.lzc) opens the device, whatever follows the
// dot, so a file made that way would be written nowhere. Not a refusal on other systems.
std::string deviceRefusal([[maybe_unused]] const std::string& output) {
#ifdef _WIN32
    if (const std::optional<std::string> device = reservedDeviceName(output)) {
        return "its output " + quotedName(output) + " would be the device " + *device +
               ", not a file (name the output with -o)";
    }
#endif
    return {};
}

}  // namespace

OutputName compressedName(const std::string& input, bool force) {
    if (hasCompressedSuffix(input) && !force) {
        return {{}, "already ends in .lzc (use -f to compress it again)"};
    }
    std::string name = lzc::compressedName(input);
    if (std::string refusal = deviceRefusal(name); !refusal.empty()) {
        return {{}, std::move(refusal)};
    }
    return {std::move(name), {}};
}

OutputName restoredName(const std::string& input) {
    if (!hasCompressedSuffix(input)) {
        return {{}, "does not end in .lzc (name the output with -o or write it with -c)"};
    }
    // The suffix is four ASCII characters, so a name is always left.
    std::string name = *lzc::restoredName(input);
    if (std::filesystem::path(name).filename().empty()) {
        return {{}, "no name is left without .lzc (name the output with -o or write it with -c)"};
    }
    if (std::string refusal = deviceRefusal(name); !refusal.empty()) {
        return {{}, std::move(refusal)};
    }
    return {std::move(name), {}};
}

std::string namedOutputRefusal([[maybe_unused]] const std::string& output) {
#ifdef _WIN32
    const std::optional<std::string> device = reservedDeviceName(output);
    if (!device) {
        return {};
    }
    const std::string last = output.substr(output.find_last_of("/\\:") + 1);
    if (last.size() != device->size() || *device == "CON") {
        // aux.lzc is no device that anyone names on purpose, and CON is the console.
        return "is the device " + *device + " on Windows, not a file" +
               (*device == "CON" ? " (write to standard output with -c)" : "");
    }
#endif
    return {};
}

}  // namespace lzc::cli
