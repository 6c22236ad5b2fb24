#include "game/scenes.h"

#include "display/display_device.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "image/drawing.h"
#include "shell/game_thread.h"
#include "shell/input.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"

namespace {

constexpr int32_t kInfoX = 87, kInfoY = 167;
constexpr int32_t kStandingFrames = 1000;  // then an 18-frame fade-out

}  // namespace

void ShowInfoScreen() {
  StopEffect(3);              // the loop that the last page may have started
  FillBlack(0, 0, 640, 480);  // the last page has faded out: this blackens the work surface
  FadeOutControlBar();
  SetCursorVisible(0);
  ReleaseAllImages();
  if (DisplayDevice* display = TheDisplay.load()) display->LoadImageSlot(0, "main\\freeinfo.v", 0, -1);
  ClearScreen();

  // No input: only ESC, through PumpFrame, ends it early.
  FadeState = kFadeInRequested;
  for (int32_t n = 0; FadeState != kFadedOut; ++n) {
    PaceFrame(20);
    DrawImage(0, kInfoX, kInfoY);
    StepFade(kInfoX, kInfoY, 640, 480);
    PumpFrame();
    if (n == kStandingFrames) FadeState = kFadeOutRequested;
  }
  ClearScreen();
}
