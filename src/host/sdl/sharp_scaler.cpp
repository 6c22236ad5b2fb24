// The sharp scaling on the processor, row by row: each source row is
// widened and scaled across once, into one of two rows kept, and each
// output row is one of them copied or the two mixed. Most output rows and
// columns lie inside one source pixel and need no mixing at all.
#include "host/sdl/sharp_scaler.h"

#include <algorithm>
#include <cstring>

#include "host/host.h"

namespace kaze::host {

std::vector<SharpTap> SharpAxis(int32_t outputExtent, int32_t sourceExtent, int32_t factor) {
  std::vector<SharpTap> taps(size_t(std::max(outputExtent, 0)));
  if (factor < 1 || sourceExtent < 1) return taps;
  const int64_t enlarged = int64_t{sourceExtent} * factor;
  for (int32_t i = 0; i < outputExtent; ++i) {
    // The centre of output pixel i in the enlarged picture, in 256ths of
    // its pixels, measured from the centre of its first pixel:
    // (i + 1/2) * enlarged / outputExtent - 1/2.
    const int64_t position = std::max<int64_t>(0, int64_t{2 * i + 1} * enlarged * 128 / outputExtent - 128);
    const int64_t first = std::min(position >> 8, enlarged - 1);
    const int64_t second = std::min(first + 1, enlarged - 1);
    SharpTap& tap = taps[size_t(i)];
    tap.first = uint16_t(first / factor);
    tap.second = uint16_t(second / factor);
    tap.weight = tap.first == tap.second ? 0 : uint16_t(position & 255);
  }
  return taps;
}

uint32_t WidenPixel(uint16_t pixel, PixelLayout layout) {
  const uint32_t blue5 = pixel & 31u;
  uint32_t red5 = 0, green = 0;
  if (layout == PixelLayout::Rgb555) {
    red5 = (pixel >> 10) & 31u;
    const uint32_t green5 = (pixel >> 5) & 31u;
    green = green5 << 3 | green5 >> 2;
  } else {
    red5 = pixel >> 11;
    const uint32_t green6 = (pixel >> 5) & 63u;
    green = green6 << 2 | green6 >> 4;
  }
  return 0xFF000000u | (red5 << 3 | red5 >> 2) << 16 | green << 8 | (blue5 << 3 | blue5 >> 2);
}

void SharpScaler::Scale(const uint16_t* frame, PixelLayout layout, int32_t factor, uint32_t* out, int32_t pitch,
                        int32_t width, int32_t height) {
  if (width != width_ || height != height_ || factor != factor_) {
    columns_ = SharpAxis(width, kScreenWidth, factor);
    rows_ = SharpAxis(height, kScreenHeight, factor);
    for (std::vector<uint32_t>& row : across_) row.assign(size_t(std::max(width, 0)), 0);
    widened_.assign(kScreenWidth, 0);
    width_ = width, height_ = height, factor_ = factor;
  }
  acrossRow_[0] = acrossRow_[1] = -1;  // the rows kept were of the last frame
  for (int32_t y = 0; y < height; ++y) {
    const SharpTap& tap = rows_[size_t(y)];
    uint32_t* line = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + size_t(y) * size_t(pitch));
    const uint32_t* top = AcrossRow(frame, layout, tap.first);
    if (tap.weight == 0) {
      std::memcpy(line, top, size_t(width) * sizeof(uint32_t));
      continue;
    }
    const uint32_t* bottom = AcrossRow(frame, layout, tap.second);
    for (int32_t x = 0; x < width; ++x) line[x] = MixPixels(top[x], bottom[x], tap.weight);
  }
}

// Rows are asked for in order, the upper of two first: the slot to fill is
// the one with the lower row, which is never the upper one still needed.
const uint32_t* SharpScaler::AcrossRow(const uint16_t* frame, PixelLayout layout, int32_t row) {
  for (int32_t slot = 0; slot < 2; ++slot)
    if (acrossRow_[slot] == row) return across_[slot].data();
  const int32_t slot = acrossRow_[0] <= acrossRow_[1] ? 0 : 1;
  const uint16_t* source = frame + size_t(row) * kScreenWidth;
  for (int32_t x = 0; x < kScreenWidth; ++x) widened_[size_t(x)] = WidenPixel(source[x], layout);
  uint32_t* line = across_[slot].data();
  for (size_t x = 0; x < columns_.size(); ++x) {
    const SharpTap& tap = columns_[x];
    line[x] = tap.weight == 0 ? widened_[tap.first] : MixPixels(widened_[tap.first], widened_[tap.second], tap.weight);
  }
  acrossRow_[slot] = row;
  return line;
}

}  // namespace kaze::host
