// The shown frame as a number: its CRC-32, which the trace gives for every
// frame. (Snapshots are written by host/png_file.h.)
#pragma once

#include <cstdint>
#include <vector>

namespace kaze::host {

// CRC-32 (zlib's, PNG's) over the pixels as little-endian 16-bit words,
// rows top to bottom.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels);

}  // namespace kaze::host
