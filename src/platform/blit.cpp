#include "platform/blit.h"

#include <algorithm>

namespace kaze::platform {

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

}  // namespace

void FillRect(const PixelSurface& dst, const RECT& rect, const RECT& clip, uint16_t colour) {
  RECT area = Intersect(rect, clip);
  if (IsEmpty(area)) return;
  for (LONG y = area.top; y < area.bottom; ++y) std::fill(dst.Row(y) + area.left, dst.Row(y) + area.right, colour);
}

void StretchBlit(const PixelSurface& dst, const RECT& dstRect, const RECT& clip,
                 const PixelSurface& src, const RECT& srcRect, const uint16_t* key) {
  const int64_t dstWidth = int64_t{dstRect.right} - dstRect.left;
  const int64_t dstHeight = int64_t{dstRect.bottom} - dstRect.top;
  const int64_t srcWidth = int64_t{srcRect.right} - srcRect.left;
  const int64_t srcHeight = int64_t{srcRect.bottom} - srcRect.top;
  RECT area = Intersect(dstRect, clip);
  if (IsEmpty(area) || dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
  for (LONG y = area.top; y < area.bottom; ++y) {
    const uint16_t* from = src.Row(static_cast<int32_t>(srcRect.top + (y - dstRect.top) * srcHeight / dstHeight));
    uint16_t* to = dst.Row(y);
    for (LONG x = area.left; x < area.right; ++x) {
      uint16_t pixel = from[srcRect.left + (x - dstRect.left) * srcWidth / dstWidth];
      if (key == nullptr || pixel != *key) to[x] = pixel;
    }
  }
}

}  // namespace kaze::platform
