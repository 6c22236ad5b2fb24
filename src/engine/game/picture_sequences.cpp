#include "game/picture_sequences.h"

#include <windows.h>

#include "game/fade.h"
#include "image/drawing.h"
#include "image/pixel_effects.h"
#include "shell/game_thread.h"

namespace {

constexpr uint32_t kOverlayStandMs = 10000;

void EndSequence() {
  ClearScreen();
  ReleaseAllImages();
}

}  // namespace

bool AdvanceBlendWeight(float& alpha, double step) {
  const double sum = static_cast<double>(alpha) + step;
  alpha = static_cast<float>(sum);
  return sum > 1.0;
}

void ShowPicture(int32_t x, int32_t y, int32_t holdFrames) {
  FadeState = kFadeInRequested;
  for (int32_t n = 0;; ++n) {
    PaceFrame(kSequenceFrameMs);
    DrawImage(0, x, y);
    StepFade(x, y, 640, 480);
    PumpFrame();
    if (n == holdFrames) FadeState = kFadeOutRequested;
    if (FadeState == kFadedOut) break;
  }
  EndSequence();
}

void BlendInTwoPictures(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t holdFrames) {
  FadeState = kFadeIdle;
  float alpha = 0.1f;
  for (;;) {  // the first picture: 91 draws, the last of them not shown
    PaceFrame(kSequenceFrameMs);
    DrawImageBlended(0, x0, y0, alpha);
    if (AdvanceBlendWeight(alpha, 0.01)) break;
    PumpFrame();
  }
  alpha = 0.1f;
  for (int32_t n = 0;; ++n) {  // the second picture over it, then the fade-out
    PaceFrame(kSequenceFrameMs);
    DrawImage(0, x0, y0);
    if (!AdvanceBlendWeight(alpha, 0.01)) {
      DrawImageBlended(1, x1, y1, alpha);
    } else {
      DrawImage(1, x1, y1);
    }
    StepFade(x0, y0, 640, 480);
    PumpFrame();
    if (n == holdFrames) FadeState = kFadeOutRequested;
    if (FadeState == kFadedOut) break;
  }
  EndSequence();
}

void ShowPictureWithOverlay(int32_t x, int32_t y, int32_t holdFrames) {
  FadeState = kFadeInRequested;
  for (int32_t n = 0;; ++n) {  // the full-screen picture fades in and stands
    PaceFrame(kSequenceFrameMs);
    DrawImage(1, 0, 0);
    if (n == holdFrames) break;
    StepFade(0, 0, 640, 480);
    PumpFrame();
  }
  const uint32_t started = GetTickCount();
  float alpha = 0.1f;
  bool fadeOutRequested = false;
  for (;;) {  // the overlay blends in; ten seconds on, everything fades out
    PaceFrame(kSequenceFrameMs);
    DrawImage(1, 0, 0);
    if (!AdvanceBlendWeight(alpha, 0.02)) {
      DrawImageBlended(0, x, y, alpha);
    } else {
      DrawImage(0, x, y);
    }
    if (GetTickCount() - started > kOverlayStandMs && !fadeOutRequested) {
      fadeOutRequested = true;
      FadeState = kFadeOutRequested;
    }
    if (FadeState == kFadedOut) break;
    StepFade(0, 0, 640, 480);
    PumpFrame();
  }
  EndSequence();
}
