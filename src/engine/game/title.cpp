#include "game/scenes.h"

#include "game/clicks.h"
#include "game/fade.h"
#include "game/scene_pictures.h"
#include "image/drawing.h"
#include "shell/game_thread.h"

namespace {

constexpr uint32_t kFrameMs = 20;
constexpr uint32_t kPauseMs = 500;
constexpr int32_t kColumnTop = 34;
constexpr int32_t kFirstColumnX = 325, kFirstColumnRows = 248;
constexpr int32_t kSecondColumnX = 295, kSecondColumnRows = 450;
constexpr int32_t kSecondColumnPasses = 301;

}  // namespace

// No input: the click that ended the opening is still latched, so both
// pauses normally end at once.
void PlayTitle() {
  ReleaseAllImages();
  LoadPicture(0, "main\\pp0010.v");
  LoadPicture(1, "main\\pp0011.v");
  ClearScreen();
  WaitOrClick(kPauseMs);

  FadeState = kFadeIdle;  // straight to the screen
  for (int32_t rows = 2; rows <= kFirstColumnRows; rows += 2) {
    PaceFrame(kFrameMs);
    DrawImageTop(0, kFirstColumnX, kColumnTop, rows);
    PumpFrame();
  }

  int32_t rows = 0;
  for (int32_t n = 0; n < kSecondColumnPasses; ++n) {
    PaceFrame(kFrameMs);
    rows = rows + 2 > kSecondColumnRows ? kSecondColumnRows : rows + 2;
    DrawImage(0, kFirstColumnX, kColumnTop);
    DrawImageTop(1, kSecondColumnX, kColumnTop, rows);
    PumpFrame();
  }

  FadeState = kFadeOutRequested;
  while (FadeState != kFadedOut) {
    PaceFrame(kFrameMs);
    DrawImage(0, kFirstColumnX, kColumnTop);
    DrawImage(1, kSecondColumnX, kColumnTop);
    StepFade(kSecondColumnX, kColumnTop, 400, 450);
    PumpFrame();
  }

  ClearScreen();
  WaitOrClick(kPauseMs);
}
