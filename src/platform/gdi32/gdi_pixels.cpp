// GDI's pixel calls: BitBlt with SRCCOPY between contexts, GetPixel and
// SetPixel. COLORREF values are 0x00BBGGRR; a 16-bit pixel is widened by
// repeating its channels' top bits, so SetPixel(GetPixel(p)) gives p back.
#include <wingdi.h>

#include <algorithm>

#include "platform/gdi32/dib.h"
#include "platform/gdi32/gdi_internal.h"

namespace kaze::platform {

namespace {

COLORREF ToColour(uint16_t pixel, PixelLayout layout) {
  uint8_t red = 0, green = 0, blue = 0;
  UnpackRgb(pixel, layout, red, green, blue);
  return RGB(red, green, blue);
}

uint16_t FromColour(COLORREF colour, PixelLayout layout) {
  return PackRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, layout);
}

uint16_t Convert(uint16_t pixel, PixelLayout from, PixelLayout to) {
  if (from == to) return pixel;
  uint8_t red = 0, green = 0, blue = 0;
  UnpackRgb(pixel, from, red, green, blue);
  return PackRgb(red, green, blue, to);
}

bool Inside(const PixelSurface& surface, int x, int y) {
  return x >= 0 && y >= 0 && x < surface.width && y < surface.height;
}

}  // namespace

}  // namespace kaze::platform

using namespace kaze::platform;

// Copies the rectangle, cut to both contexts' pixels. Only SRCCOPY is known.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
  if (rop != SRCCOPY) return FALSE;
  std::lock_guard lock(GdiMutex());
  std::optional<PixelSurface> to = ContextPixelsLocked(dest);
  std::optional<PixelSurface> from = ContextPixelsLocked(src);
  if (!to || !from) return LiveContextLocked(dest) != nullptr && LiveContextLocked(src) != nullptr;
  // Cut the source rectangle to the source, then the destination to its own.
  int64_t left = std::max<int64_t>({0, -int64_t{srcX}, -int64_t{x}});
  int64_t top = std::max<int64_t>({0, -int64_t{srcY}, -int64_t{y}});
  int64_t right = std::min<int64_t>({int64_t{width}, int64_t{from->width} - srcX, int64_t{to->width} - x});
  int64_t bottom = std::min<int64_t>({int64_t{height}, int64_t{from->height} - srcY, int64_t{to->height} - y});
  for (int64_t row = top; row < bottom; ++row) {
    const uint16_t* source = from->Row(static_cast<int32_t>(srcY + row));
    uint16_t* target = to->Row(static_cast<int32_t>(y + row));
    if (from->layout == to->layout) {
      std::copy(source + srcX + left, source + srcX + right, target + x + left);
    } else {
      for (int64_t column = left; column < right; ++column)
        target[x + column] = Convert(source[srcX + column], from->layout, to->layout);
    }
  }
  return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  std::lock_guard lock(GdiMutex());
  std::optional<PixelSurface> pixels = ContextPixelsLocked(dc);
  if (!pixels || !Inside(*pixels, x, y)) return CLR_INVALID;
  return ToColour(pixels->Row(y)[x], pixels->layout);
}

// The result is the colour actually written (the nearest the format holds),
// or -1 when the point is outside the context's pixels.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  std::lock_guard lock(GdiMutex());
  std::optional<PixelSurface> pixels = ContextPixelsLocked(dc);
  if (!pixels || !Inside(*pixels, x, y)) return static_cast<COLORREF>(-1);
  uint16_t pixel = FromColour(colour, pixels->layout);
  pixels->Row(y)[x] = pixel;
  return ToColour(pixel, pixels->layout);
}
