// The drawing calls of the scenes: pictures from the image slots, black
// fills, clearing the screen. Each call draws into the surface that FadeState
// chooses, through the display device's blits; the pixel effects
// (dimmed and blended draws) are in image/pixel_effects.h.
#pragma once

#include <ddraw.h>

#include <cstdint>

// The state of the fade state machine (0 idle, 1 to 6 fading, see the scene
// primitives). Game thread only. The drawing calls ask only whether it is 0.
extern int32_t FadeState;

// Where a scene-level draw lands: the back buffer when FadeState is 0, the
// work surface (which the fade step darkens and shows) otherwise.
IDirectDrawSurface* DrawTarget();

void DrawImage(int32_t slot, int32_t x, int32_t y);
void DrawImageTop(int32_t slot, int32_t x, int32_t y, int32_t rows);
// Tries once more when the first blit fails.
void DrawImageScaled(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height);
void FillBlack(int32_t left, int32_t top, int32_t right, int32_t bottom);

// Blackens the work surface and both buffers of the flip chain, flipping
// twice. May end the game thread when a quit was requested.
void ClearScreen();

// Empties slots 0 to 254; slot 255 keeps its picture.
void ReleaseAllImages();
