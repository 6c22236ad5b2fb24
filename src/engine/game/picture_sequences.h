// The intro's three picture sequences. Each uses the pictures that the
// caller loaded into slots 0 and 1, paces every frame at 20 ms, and ends by
// clearing the screen and releasing every slot.
#pragma once

#include <cstdint>

// Every frame of the intro's sequences and of the opening: 20 ms.
constexpr uint32_t kSequenceFrameMs = 20;

// Adds `step` to a blend weight the way the blend loops always have: the sum
// in double, compared with 1.0, then stored back as float. True when the sum
// passed 1.0.
bool AdvanceBlendWeight(float& alpha, double step);

// Slot 0 at (x, y): 17 frames of fade-in, standing until frame holdFrames + 1,
// then 18 frames of fade-out.
void ShowPicture(int32_t x, int32_t y, int32_t holdFrames);

// Slot 0 blended in at (x0, y0), then slot 1 blended in at (x1, y1) over it;
// the fade-out is requested after holdFrames frames of the second part.
void BlendInTwoPictures(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t holdFrames);

// Slot 1 full screen fading in for holdFrames frames, then slot 0 blended in
// at (x, y); the fade-out starts once ten seconds of that have passed.
void ShowPictureWithOverlay(int32_t x, int32_t y, int32_t holdFrames);
