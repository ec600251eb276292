// How an operation tells its caller how far it has got.
#pragma once

#include <cstdint>
#include <functional>

namespace lzc {

// Called as an operation runs with how far it has got: `done` out of `total`, both counted in
// the operation's own unit (the compressor's are source bytes, the decoder's stream bytes;
// `total` is the input's size, never 0). It is called after every `interval` steps of the
// operation's loop (a search for the compressor, a token for the decoder), and once more when
// the loop is over; `done` then stands one or two past `total`, where the loop stopped. It may
// do anything except throw or reuse the object running the operation. An empty callback is
// never called.
using ProgressCallback = std::function<void(std::int64_t done, std::int64_t total)>;

// The interval the window uses. An interval below 1 leaves only the final call.
inline constexpr std::int32_t kDefaultProgressInterval = 128;

}  // namespace lzc
