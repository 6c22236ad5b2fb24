// The sharp scaling pixel by pixel: each output pixel from the four source
// pixels around its centre, mixed across and then down. The fast version in
// sharp_scaler.cpp must give exactly this.
#include "host/host.h"
#include "host/sdl/sharp_scaler.h"

namespace kaze::host {

void ScaleSharpReference(const uint16_t* frame, PixelLayout layout, int32_t factor, uint32_t* out, int32_t pitch,
                         int32_t width, int32_t height) {
  const std::vector<SharpTap> columns = SharpAxis(width, kScreenWidth, factor);
  const std::vector<SharpTap> rows = SharpAxis(height, kScreenHeight, factor);
  auto source = [&](int32_t x, int32_t y) { return WidenPixel(frame[size_t(y) * kScreenWidth + x], layout); };
  for (int32_t y = 0; y < height; ++y) {
    const SharpTap& row = rows[size_t(y)];
    uint32_t* line = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + size_t(y) * size_t(pitch));
    for (int32_t x = 0; x < width; ++x) {
      const SharpTap& column = columns[size_t(x)];
      const uint32_t top = MixPixels(source(column.first, row.first), source(column.second, row.first), column.weight);
      const uint32_t bottom =
          MixPixels(source(column.first, row.second), source(column.second, row.second), column.weight);
      line[x] = MixPixels(top, bottom, row.weight);
    }
  }
}

}  // namespace kaze::host
