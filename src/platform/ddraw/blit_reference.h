// The blitter written the plainest way, one pixel at a time. It defines what
// the fast blitter of blit.h must produce, bit for bit; the tests compare the
// two on many random cases.
#pragma once

#include "platform/ddraw/blit.h"

namespace kaze::platform::reference {

void FillRect(const PixelSurface& dst, const RECT& rect, const RECT& clip, uint16_t colour);

void StretchBlit(const PixelSurface& dst, const RECT& dstRect, const RECT& clip, const PixelSurface& src,
                 const RECT& srcRect, const uint16_t* key);

}  // namespace kaze::platform::reference
