#include "platform/ddraw/blit_reference.h"

#include <algorithm>

namespace kaze::platform::reference {

namespace {

bool Inside(const RECT& r, int64_t x, int64_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

void FillRect(const PixelSurface& dst, const RECT& rect, const RECT& clip, uint16_t colour) {
  for (int32_t y = clip.top; y < clip.bottom; ++y)
    for (int32_t x = clip.left; x < clip.right; ++x)
      if (Inside(rect, x, y)) dst.Row(y)[x] = colour;
}

void StretchBlit(const PixelSurface& dst, const RECT& dstRect, const RECT& clip, const PixelSurface& src,
                 const RECT& srcRect, const uint16_t* key) {
  const int64_t dstWidth = int64_t{dstRect.right} - dstRect.left;
  const int64_t dstHeight = int64_t{dstRect.bottom} - dstRect.top;
  const int64_t srcWidth = int64_t{srcRect.right} - srcRect.left;
  const int64_t srcHeight = int64_t{srcRect.bottom} - srcRect.top;
  if (dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
  for (int32_t y = clip.top; y < clip.bottom; ++y) {
    for (int32_t x = clip.left; x < clip.right; ++x) {
      if (!Inside(dstRect, x, y)) continue;
      const int64_t sx = srcRect.left + (x - dstRect.left) * srcWidth / dstWidth;
      const int64_t sy = srcRect.top + (y - dstRect.top) * srcHeight / dstHeight;
      const uint16_t pixel = src.Row(static_cast<int32_t>(sy))[sx];
      if (key == nullptr || pixel != *key) dst.Row(y)[x] = pixel;
    }
  }
}

}  // namespace kaze::platform::reference
