// The shown frame as a number: its CRC-32, which the trace gives for every
// frame. (Snapshots are written by host/png_file.h.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kaze::host {

// CRC-32 (zlib's, PNG's) over the pixels as little-endian 16-bit words,
// rows top to bottom.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels);

// What `bytes` bytes at offset `at` of a frame of `frameBytes` bytes put
// into its FrameCrc: the CRC is linear in the bytes, so when they change,
// the frame's CRC changes by the term of the old bytes and that of the new
// ones, XORed in. A frame whose text grew by a line is thus summed over that
// line, twice, not over the whole frame. Words as they lie in memory: for
// little-endian machines only.
uint32_t FrameCrcTerm(size_t frameBytes, size_t at, const uint16_t* words, size_t bytes);

}  // namespace kaze::host
