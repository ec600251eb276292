// The few descriptor calls that differ between systems, beneath the portable read and write
// loops of file_io_streams.cpp. Each system's file layer source defines them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lzc::fileio::platform {

// Makes a descriptor carry bytes unchanged (Windows opens standard streams in text mode).
void prepareDescriptor(int fd);

// One read or write of at most `size` bytes, retried when interrupted: the count done (0 at
// the end of the input), or -1 with errno set.
std::ptrdiff_t readSome(int fd, std::uint8_t* data, std::size_t size);
std::ptrdiff_t writeSome(int fd, const std::uint8_t* data, std::size_t size);

}  // namespace lzc::fileio::platform
