// The informative text under an outcome's message: which file was written and how big, or why
// an operation failed and which file it concerns, in the user's language. Names and texts are
// UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lzc/file_operation.h"

namespace vellicor {

// After a success: the full path written, its size and the size of what was read.
std::string successDetails(std::string_view written, std::uintmax_t writtenSize,
                           std::string_view read, std::uintmax_t readSize);

// After a failure: the reason in words and the full path of the file concerned (the
// destination when writing failed, else the source).
std::string failureDetails(const lzc::Outcome& outcome, std::string_view source,
                           std::string_view destination);

// The reason a decompression is refused without running: no name is left for the result.
std::string noRestoredNameDetails(std::string_view source);

// The reason an operation is refused without running: the name box is empty.
std::string emptyNameDetails();

}  // namespace vellicor
