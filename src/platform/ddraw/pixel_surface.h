// The plain memory underneath every DirectDraw surface of the stand-in:
// 16-bit pixels, rows `pitch` bytes apart. Blits, fills, keys and stretches
// are free functions over these (see platform/ddraw/blit.h).
#pragma once

#include <cstdint>

#include "host/pixel_layout.h"

namespace kaze::platform {

// The surfaces' formats are the host's: the screen's frames go to it as they are.
using host::PixelLayout;

struct PixelSurface {
  uint16_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;  // bytes from one row to the next
  PixelLayout layout = PixelLayout::Rgb565;

  uint16_t* Row(int32_t y) const {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<intptr_t>(y) * pitch);
  }
};

}  // namespace kaze::platform
