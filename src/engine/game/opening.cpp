#include "game/scenes.h"

#include <cstdio>

#include "game/clicks.h"
#include "game/fade.h"
#include "game/picture_sequences.h"
#include "game/scene_pictures.h"
#include "image/drawing.h"
#include "image/pixel_effects.h"
#include "shell/game_thread.h"
#include "shell/input.h"
#include "sound/effects.h"

namespace {

constexpr uint32_t kPauseMs = 5000;

// Slots.
enum : int32_t {
  kFirstPicture = 0,
  kTitleColumn = 1,
  kTitleBackground = 2,
  kTitleLine = 4,
  kClosingLine = 5,
  kMothBackdrop = 10,  // the first animation frame, also the backdrop
  kFirstMothFrame = 11,
};
constexpr int kMothFrames = 30;
constexpr int32_t kMothCycle = 57;  // passes; slots 11 to 38 for two each, 39 for one

enum : int { kMothEffect = 1, kOpeningTune = 7 };

constexpr int32_t kFirstPictureX = 121, kFirstPictureY = 197;
constexpr int32_t kTitleColumnX = 514;
constexpr int32_t kTitleLineX = 460, kTitleLineY = 300;
constexpr int32_t kClosingLineX = 427, kClosingLineY = 379, kClosingLineRows = 82;
constexpr int32_t kTitleDelay = 50;

enum class Outcome { Continued, Skipped };

void ClearClicks() {
  LeftClickLatch = 0;
  RightClickLatch = 0;
}

// The end-of-pass click check of the parts that take clicks: a click counts
// only while no fade runs, but ClickPending runs every pass so that a click
// made during a fade-in stays latched until the fade-in ends.
void TakeClick(bool& skipped) {
  if (ClickPending() == 1 && FadeState == kFadeIdle) {
    FadeState = kFadeOutRequested;
    skipped = true;
  }
}

// The black pause after a part; true when a click ended it.
bool PauseClicked() {
  ClearScreen();
  return WaitOrClick(kPauseMs) == 1;
}

void LoadOpeningPictures() {
  LoadPicture(kFirstPicture, "opening\\op0010.v");
  LoadPicture(kTitleBackground, "opening\\op0030.v");
  LoadPicture(kTitleColumn, "opening\\op0031.v");
  LoadPicture(kTitleLine, "opening\\op0032.v");
  LoadPicture(kClosingLine, "opening\\op_free.v");
  for (int i = 1; i <= kMothFrames; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    LoadPicture(kMothBackdrop - 1 + i, name);
  }
}

bool FirstPicture() {
  bool skipped = false;
  FadeState = kFadeInRequested;
  for (int32_t n = 0;; ++n) {
    PaceFrame(kSequenceFrameMs);
    DrawImage(kFirstPicture, kFirstPictureX, kFirstPictureY);
    StepFade(kFirstPictureX, kFirstPictureY, 640, 480);
    PumpFrame();
    if (n == 200) FadeState = kFadeOutRequested;
    if (FadeState == kFadedOut) break;
    TakeClick(skipped);
  }
  return skipped;
}

// Takes no clicks.
void MothBackdropFadeIn() {
  FadeState = kFadeInRequested;
  do {
    PaceFrame(kSequenceFrameMs);
    DrawImageScaled(kMothBackdrop, 0, 0, 640, 480);
    StepFade(0, 0, 640, 480);
    PumpFrame();
  } while (FadeState != kFadeIdle);
}

bool MothAnimation() {
  bool skipped = false;
  PlayEffect(kMothEffect, 1);
  int32_t a = 0;
  for (int32_t n = 0;; ++n) {
    PaceFrame(kSequenceFrameMs);
    DrawImageScaled(kMothBackdrop, 0, 0, 640, 480);
    DrawImageScaled(kFirstMothFrame + a / 2, 160, 160, 320, 240);
    a = a + 1 >= kMothCycle ? 0 : a + 1;
    StepFade(0, 0, 640, 480);
    if (n == 500) FadeState = kFadeOutRequested;
    if (FadeState == kFadedOut) break;  // the black frame is not shown
    TakeClick(skipped);
    PumpFrame();
  }
  StopEffect(kMothEffect);
  return skipped;
}

// The title column unrolls, then the title line blends in. Returns with the
// screen black after a skip (and the tune stopped), or with the line fully
// blended in and the tune still playing.
Outcome TitleLettering(bool& skipped) {
  PlayEffect(kOpeningTune, 0);
  RECT column{};
  // Without the column picture there is nothing to unroll: its height counts
  // as 0 and the line blends in right after the delay.
  const int32_t height = GetSlotRect(kTitleColumn, &column) == 1 ? column.bottom : 0;
  float alpha = 0.1f;
  FadeState = kFadeInRequested;
  int32_t rows = 1;
  int32_t delay = kTitleDelay;
  for (;;) {
    PaceFrame(kSequenceFrameMs);
    DrawImage(kTitleBackground, 0, 0);
    if (delay > 0) {
      --delay;
    } else {
      rows += 2;
      if (rows > height) {
        rows = height;
        DrawImageBlended(kTitleLine, kTitleLineX, kTitleLineY, alpha);
        if (AdvanceBlendWeight(alpha, 0.02)) return Outcome::Continued;
      }
      DrawImageTop(kTitleColumn, kTitleColumnX, 0, rows);
    }
    StepFade(0, 0, 640, 480);
    PumpFrame();
    if (FadeState == kFadedOut) {
      StopEffect(kOpeningTune);
      return Outcome::Skipped;
    }
    TakeClick(skipped);
  }
}

// Also carries on the fade-out of a skip made in the title lettering.
bool ClosingLine(bool skipped) {
  int32_t rows = 1;
  for (int32_t n = 0;; ++n) {
    PaceFrame(kSequenceFrameMs);
    DrawImage(kTitleBackground, 0, 0);
    DrawImage(kTitleLine, kTitleLineX, kTitleLineY);
    DrawImage(kTitleColumn, kTitleColumnX, 0);
    if (rows < kClosingLineRows) ++rows;
    DrawImageTop(kClosingLine, kClosingLineX, kClosingLineY, rows);
    StepFade(0, 0, 640, 480);
    PumpFrame();
    if (n == 1200) FadeState = kFadeOutRequested;
    if (FadeState == kFadedOut) break;
    TakeClick(skipped);
  }
  StopEffect(kOpeningTune);
  return skipped;
}

}  // namespace

int PlayOpening() {
  SoundEnabled = 1;
  ReleaseAllImages();
  LoadOpeningPictures();
  SetCursorVisible(0);

  for (;;) {
    ClearClicks();
    if (FirstPicture()) return 1;
    ClearClicks();  // a click during the fade-out is forgotten
    if (PauseClicked()) return 1;

    ClearClicks();
    MothBackdropFadeIn();

    ClearClicks();  // what was clicked during the backdrop is lost
    if (MothAnimation()) return 1;
    ClearClicks();
    if (PauseClicked()) return 1;

    ClearClicks();
    bool skipped = false;
    if (TitleLettering(skipped) == Outcome::Skipped) return 1;
    // Latches are kept from here on: a click during the closing line's
    // fade-out ends the pause after it.
    if (ClosingLine(skipped)) return 1;
    if (PauseClicked()) return 1;
  }
}
