// Any bytes as a BMP file image handed to CreateDIBitmap the way the image
// loader does it: the info header at byte 14, the pixel data at the offset
// in byte 10, both bounded by the image's length. Each input is tried in both
// display formats.
#include "port_gdi.h"
#include <wingdi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/setup/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 14) return 0;
  // A copy of exactly the input's length, so that any overread is caught.
  std::vector<uint8_t> image(data, data + size);
  const uint32_t offset =
      uint32_t{image[10]} | uint32_t{image[11]} << 8 | uint32_t{image[12]} << 16 | uint32_t{image[13]} << 24;
  if (offset > size) return 0;
  for (auto layout : {kaze::platform::PixelLayout::Rgb565, kaze::platform::PixelLayout::Rgb555}) {
    kaze::platform::TheSettings().displayLayout = layout;
    HBITMAP bitmap = PortCreateDIBitmap(nullptr, reinterpret_cast<const BITMAPINFO*>(image.data() + 14), size - 14,
                                        image.data() + offset, size - offset, DIB_RGB_COLORS);
    if (bitmap == nullptr) continue;
    BITMAP facts{};
    if (GetObject(bitmap, sizeof facts, &facts) != sizeof facts || facts.bmWidth <= 0 || facts.bmHeight <= 0)
      __builtin_trap();
    DeleteObject(bitmap);
  }
  return 0;
}
