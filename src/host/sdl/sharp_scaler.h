// The sharp scaling done on the processor, for a renderer that cannot draw
// into a texture or that is itself the processor (SDL's software renderer):
// the 640x480 frame enlarged by a whole factor with nearest neighbour, then
// bilinearly to the view's size, in one pass into 32-bit XRGB pixels. The
// result is what the renderer's two steps would give, up to rounding.
#pragma once

#include <cstdint>
#include <vector>

#include "host/pixel_layout.h"

namespace kaze::host {

// One output row or column: the two source pixels it lies between and the
// second one's weight out of 256 (0 where both are the same pixel).
struct SharpTap {
  uint16_t first = 0, second = 0;
  uint16_t weight = 0;
};

// The taps of an axis: `outputExtent` pixels over `sourceExtent` source
// pixels enlarged `factor` times first. Sample positions are pixel centres,
// and positions beyond the edge take the edge pixel, as bilinear filtering
// with clamped edges does.
std::vector<SharpTap> SharpAxis(int32_t outputExtent, int32_t sourceExtent, int32_t factor);

// a and b (0xXXRRGGBB) mixed with b's weight out of 256, rounded; opaque.
inline uint32_t MixPixels(uint32_t a, uint32_t b, uint32_t weight) {
  const uint32_t keep = 256 - weight;
  const uint32_t redBlue = ((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight + 0x800080u) >> 8;
  const uint32_t green = ((a & 0x00FF00u) * keep + (b & 0x00FF00u) * weight + 0x008000u) >> 8;
  return 0xFF000000u | (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

// A 16-bit pixel as 0xFFRRGGBB, each channel widened by repeating its top
// bits (as the PNG writer does).
uint32_t WidenPixel(uint16_t pixel, PixelLayout layout);

// Scales a 640x480 frame into width x height XRGB pixels (rows `pitch`
// bytes apart). It keeps the taps and two widened rows between calls, so
// that a frame of the same size costs no allocation.
class SharpScaler {
 public:
  void Scale(const uint16_t* frame, PixelLayout layout, int32_t factor, uint32_t* out, int32_t pitch, int32_t width,
             int32_t height);

 private:
  // The source row widened and scaled across into one of the two rows kept.
  const uint32_t* AcrossRow(const uint16_t* frame, PixelLayout layout, int32_t row);

  int32_t width_ = 0, height_ = 0, factor_ = 0;
  std::vector<SharpTap> columns_, rows_;
  std::vector<uint32_t> widened_;
  std::vector<uint32_t> across_[2];
  int32_t acrossRow_[2] = {-1, -1};
};

// The same result pixel by pixel, without any row kept: the reference the
// fast version is tested against.
void ScaleSharpReference(const uint16_t* frame, PixelLayout layout, int32_t factor, uint32_t* out, int32_t pitch,
                         int32_t width, int32_t height);

}  // namespace kaze::host
