// What lzc tells its user, as text: the -l table, the -v and -t lines, and the reasons a file
// failed. Pure functions, so the wording is checked without running anything.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lzc/file_io.h"
#include "lzc/file_status.h"

namespace lzc::cli {

// -l's header and one row (a file, or the totals), without the line break. The ratio column is
// the compressed size as a percentage of the restored size.
std::string listHeader();
std::string listRow(std::uintmax_t compressed, std::uintmax_t restored, std::string_view name);

// -v: "FROM -> TO: 17 -> 14 bytes (83.33%)", the ratio always compressed over original.
std::string transferLine(std::string_view from, std::string_view to, std::uintmax_t fromSize,
                         std::uintmax_t toSize, std::int32_t ratio);

// -t -v: "NAME: OK, 14 -> 17 bytes (83.33%)".
std::string testLine(std::string_view name, std::uintmax_t compressed, std::uintmax_t restored,
                     std::int32_t ratio);

// Why an input failed, or why its output could not be written (errno `systemError`; on
// Windows in the system's own words for `nativeError`, see fileio::systemErrorText).
std::string inputFailure(OperationStatus status, int systemError, unsigned long nativeError = 0);
std::string outputFailure(int systemError, unsigned long nativeError = 0);

// Why an input failed when memory ran out: inputFailure's words for it, there without allocating.
inline constexpr const char* kOutOfMemory = "not enough memory";

// A metadata warning: "cannot keep its permissions: Operation not permitted".
std::string metadataWarning(const fileio::MetadataWarning& warning);

}  // namespace lzc::cli
