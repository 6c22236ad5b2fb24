// Pictures as PNG files, for the headless host's snapshots, the sdl host's
// screenshots and the tools. Every file is written whole or not at all:
// into a temporary file beside the path that is renamed to it once complete
// (replacing a file of that name) and removed when a write fails. Each
// returns 0, or errno's value for the failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/pixel_layout.h"

namespace kaze::host {

// width x height 16-bit screen pixels as an 8-bit RGB PNG.
int WritePng(const std::string& path, const std::vector<uint16_t>& pixels, int32_t width, int32_t height,
             PixelLayout layout);

// width x height pixels of 8-bit red, green and blue bytes, rows top to
// bottom, as an 8-bit RGB PNG.
int WriteRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t width, int32_t height);

}  // namespace kaze::host
