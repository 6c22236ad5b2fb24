// Drawing the control bar, and its own fades at the start and the end of
// the story.
#include "display/display_device.h"
#include "game/clicks.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "game/story.h"
#include "image/drawing.h"
#include "image/pixel_effects.h"
#include "shell/game_thread.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"

namespace {

// Slots of the bar's pictures.
constexpr int32_t kBackSlot = 20, kBackHotSlot = 21;
constexpr int32_t kNextSlot = 22, kNextHotSlot = 23;
constexpr int32_t kSoundOffSlot = 31, kSoundOnSlot = 32;
constexpr int32_t kQuitSlot = 33, kQuitHotSlot = 34;
constexpr int32_t kLoadSlot = 35, kSaveSlot = 37;
constexpr int32_t kQuitQuestionSlot = 43, kYesSlot = 44, kNoSlot = 45;

// A turn button: dimmed while it cannot act, its hot picture (pressed in by
// `offset`) under the pointer, else its normal picture.
void DrawTurnButton(bool live, bool hot, int32_t slot, int32_t hotSlot, int32_t x, int32_t y, int32_t offset) {
  if (!live)
    DrawImageDimmed(slot, x, y);
  else if (hot)
    DrawImage(hotSlot, x + offset, y + offset);
  else
    DrawImage(slot, x, y);
}

// The bar alone brightens or darkens, one level a frame, over the work
// surface; nothing else is drawn and the effects keep their volume.
void FadeBar(int32_t state, int32_t level, int32_t step, int32_t frames) {
  FadeState = state;
  FadeLevel = level;
  FadeStep = step;
  FadeCounter = frames;
  for (;;) {
    PaceFrame(20);
    FadeLevel += FadeStep;
    if (--FadeCounter <= 0) return;
    DrawControlBar(kNoButton);  // into the work surface: FadeState is not 0
    if (DisplayDevice* display = TheDisplay.load()) {
      display->DarkenWorkRect(0, 450, 640, 30, FadeLevel);
      display->CopyWorkToBack();
    }
    PumpFrame();
  }
}

}  // namespace

void DrawControlBar(int32_t hot) {
  const int32_t pressed = LeftClickLatch;  // 1 while the left button is held
  DrawTurnButton(PageComplete != 0 && Stage != 1, hot == kBackButton, kBackSlot, kBackHotSlot, 498, 452, pressed);
  DrawTurnButton(PageComplete != 0, hot == kNextButton, kNextSlot, kNextHotSlot, 568, 452, pressed);
  if (QuitQuestionShown == 1) DrawImage(kQuitQuestionSlot, 138, 459);
  if (hot == kQuitButton)
    DrawImage(kQuitHotSlot, 30 + pressed, 456 + pressed);
  else
    DrawImage(kQuitSlot, 30, 456);
  const int32_t soundSlot = SoundEnabled == 1 ? kSoundOnSlot : SoundEnabled == 0 ? kSoundOffSlot : -1;
  const int32_t soundOffset = hot == kSoundButton ? pressed : 0;
  if (soundSlot >= 0) DrawImage(soundSlot, 452 + soundOffset, 459 + soundOffset);
  DrawImageDimmed(kLoadSlot, 405, 461);  // load and save are never available
  DrawImageDimmed(kSaveSlot, 365, 461);
  const int32_t yesOffset = hot == kYesButton ? pressed : 0;
  if (YesShown == 1) DrawImage(kYesSlot, 275 + yesOffset, 461 + yesOffset);
  const int32_t noOffset = hot == kNoAnswerButton ? pressed : 0;
  if (NoShown == 1) DrawImage(kNoSlot, 305 + noOffset, 461 + noOffset);
}

void FadeInControlBar() { FadeBar(kFadingIn, 32, -1, 32); }

void FadeOutControlBar() { FadeBar(kFadingOut, 0, 1, 33); }
