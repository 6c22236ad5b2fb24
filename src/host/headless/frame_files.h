// The shown frame as numbers and files: its CRC-32 and PNG snapshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pixel_layout.h"

namespace kaze::host {

// CRC-32 (zlib's, PNG's) over the pixels as little-endian 16-bit words,
// rows top to bottom.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels);

// Writes width x height 16-bit pixels as an 8-bit RGB PNG, whole or not at
// all: into a temporary file beside `path` that is renamed to it once
// complete (replacing a file of that name) and removed when a write fails.
// 0, or errno's value for the failure.
int WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
             PixelLayout layout);

}  // namespace kaze::host
