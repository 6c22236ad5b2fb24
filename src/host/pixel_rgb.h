// A 16-bit screen pixel as 8-bit red, green and blue: each channel's bits
// repeated into the low bits, so that black stays 0 and white becomes 255.
// Snapshots and the browser's canvas show the same bytes through it.
#pragma once

#include <cstdint>

#include "host/pixel_layout.h"

namespace kaze::host {

inline void ToRgb(uint16_t pixel, PixelLayout layout, unsigned char* rgb) {
  unsigned r = 0, g = 0, b = pixel & 31;
  if (layout == PixelLayout::Rgb555) {
    r = (pixel >> 10) & 31;
    g = (pixel >> 5) & 31;
    rgb[1] = static_cast<unsigned char>(g << 3 | g >> 2);
  } else {
    r = pixel >> 11;
    g = (pixel >> 5) & 63;
    rgb[1] = static_cast<unsigned char>(g << 2 | g >> 4);
  }
  rgb[0] = static_cast<unsigned char>(r << 3 | r >> 2);
  rgb[2] = static_cast<unsigned char>(b << 3 | b >> 2);
}

}  // namespace kaze::host
