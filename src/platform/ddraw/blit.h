// The software blitter under IDirectDrawSurface::Blt: free functions over
// plain pixel memory. Rectangles are (left, top, right, bottom), right and
// bottom exclusive. blit_reference.h holds the same operations written one
// pixel at a time; these must match it bit for bit, only faster.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/ddraw/pixel_surface.h"
#include "windef.h"

namespace kaze::platform {

// The overlap of two rectangles; empty when they do not meet.
inline RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// True when the rectangle holds no pixel.
inline bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

// Fills the part of `rect` inside `clip` with `colour`. `clip` must lie
// within the surface.
void FillRect(const PixelSurface& dst, const RECT& rect, const RECT& clip, uint16_t colour);

// Copies the source rectangle onto the destination rectangle, stretched or
// shrunk to it by nearest pixel: destination column dx (counted from
// dstRect.left) shows source column srcRect.left + dx * srcWidth / dstWidth,
// and rows likewise. Only destination pixels inside `clip` are written, so a
// clipped stretched blit shows exactly the visible part of the whole scaled
// picture. With `key`, source pixels equal to *key are skipped. `clip` must
// lie within the destination and `srcRect` within the source. Source and
// destination may be the same memory: the source is then read as it was
// before the blit.
void StretchBlit(const PixelSurface& dst, const RECT& dstRect, const RECT& clip, const PixelSurface& src,
                 const RECT& srcRect, const uint16_t* key);

}  // namespace kaze::platform
