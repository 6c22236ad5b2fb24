// The scene-level software pixel draws. They draw into the surface that
// FadeState chooses (see image/drawing.h); the darkening of the work surface
// is DisplayDevice::DarkenWorkRect.
#pragma once

#include <cstdint>

// The picture at half intensity; its black pixels are not drawn.
void DrawImageDimmed(int32_t slot, int32_t x, int32_t y);

// The picture mixed into what is there by alpha (0 to 1); its black pixels
// are not drawn.
void DrawImageBlended(int32_t slot, int32_t x, int32_t y, float alpha);
