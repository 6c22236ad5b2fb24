// The fade state machine: one darkening of the screen in steps, with the
// sound effects' volume ramped down during a fade-out. FadeState itself is
// declared with the drawing calls (image/drawing.h), which read it to choose
// their target. Game thread only.
#pragma once

#include <cstdint>

#include "image/drawing.h"  // FadeState

// FadeState values.
enum : int32_t {
  kFadeIdle = 0,
  kFadeOutRequested = 1,
  kFadeInRequested = 2,
  kFadingOut = 3,
  kFadingIn = 4,
  kFadedOut = 5,
  kDarkeningAgain = 6,
};

extern int32_t FadeLevel;           // amount subtracted from each 5-bit channel; 32 is black
extern int32_t FadeStep;            // added to FadeLevel each fade frame
extern int32_t FadeCounter;         // frames left; in a fade-out also the volume ramp's index
extern int32_t FadeRampsIntroTune;  // 1: the fade-out ramp also covers effect 8

constexpr int kFadeVolumeSteps = 18;
// Hundredths of a decibel, walked from index 17 down to 1 by a fade-out.
extern int32_t FadeVolumeTable[kFadeVolumeSteps];

void InitFadeVolumeTable();

// One frame of the fade: arms a requested fade, or darkens the rectangle of
// the work surface by the next level and copies the work surface to the back
// buffer. See fade.cpp for the table of states.
void StepFade(int32_t x, int32_t y, int32_t width, int32_t height);

// Sets every loaded effect's volume (effects 1 to 7, and 8 while
// FadeRampsIntroTune is 1). Results are ignored.
void SetEffectVolumes(int32_t volume);
