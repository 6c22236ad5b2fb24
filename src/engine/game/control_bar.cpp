#include "game/control_bar.h"

#include <windows.h>

#include "display/display_device.h"
#include "game/clicks.h"
#include "game/fade.h"
#include "game/story.h"
#include "shell/input.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"

int32_t PressedButton = kNoButton;
int32_t QuitQuestionShown = 0;
int32_t YesShown = 0;
int32_t NoShown = 0;

namespace {

constexpr int32_t kFirstBarSlot = 20;
constexpr int32_t kConfirmedQuitFrames = 15;

struct HitRect {
  int32_t id;
  int32_t left, top, right, bottom;
};

// In the order they are tested; yes and no are tested even while hidden.
constexpr HitRect kButtons[] = {
    {kBackButton, 498, 452, 538, 479},  {kNextButton, 568, 452, 608, 479}, {kQuitButton, 30, 456, 60, 476},
    {kSoundButton, 452, 459, 468, 475}, {kYesButton, 275, 461, 298, 473},  {kNoAnswerButton, 305, 461, 328, 473},
};

bool StrictlyInside(const HitRect& r, int32_t x, int32_t y) {
  return r.left < x && x < r.right && r.top < y && y < r.bottom;
}

void TurnPage(int32_t command) {
  StageCommand = command;
  FadeState = kFadeOutRequested;
  PageComplete = 0;
  HideDialogItems();
}

void ToggleSound() {
  if (SoundEnabled == 0) {
    SoundEnabled = 1;
    ResumeStageSounds();
  } else {
    SoundEnabled = 0;
    StopAllEffects();
  }
}

void ConfirmQuit() {
  // The whole screen darkens again from here (FadeState 5 -> 6), and the
  // countdown ends the story in the 17th frame counting this one.
  if (QuitQuestionShown == 1) {
    QuitConfirmed = 1;
    FadeState = kFadedOut;
    QuitCountdown = kConfirmedQuitFrames;
  }
  HideDialogItems();
}

void Act(int32_t id) {
  switch (id) {
    case kBackButton:
      if (PageComplete == 1 && Stage > 1) TurnPage(kPreviousStage);
      break;
    case kNextButton:
      if (PageComplete == 1) TurnPage(kNextStage);
      break;
    case kQuitButton:
      HideDialogItems();
      QuitQuestionShown = YesShown = NoShown = 1;
      break;
    case kSoundButton:
      ToggleSound();
      break;
    case kYesButton:
      ConfirmQuit();
      break;
    case kNoAnswerButton:
      HideDialogItems();
      break;
    default:
      break;
  }
}

}  // namespace

void LoadControlBarImages() {
  // Slots 20 to 54 in order; 30 and 39 stay empty.
  static const char* const kPictures[] = {
      "system\\backa.v",
      "system\\backb.v",
      "system\\nexta.v",
      "system\\nextb.v",
      "system\\1a.v",
      "system\\1b.v",
      "system\\2a.v",
      "system\\2b.v",
      "system\\3a.v",
      "system\\3b.v",
      nullptr,
      "system\\melodya.v",
      "system\\melodyb.v",
      "system\\quita.v",
      "system\\quitb.v",
      "system\\loada.v",
      "system\\loadb.v",
      "system\\savea.v",
      "system\\saveb.v",
      nullptr,
      "system\\textsave.v",
      "system\\textload.v",
      "system\\textover.v",
      "system\\textend.v",
      "system\\yes.v",
      "system\\no.v",
      "system\\textloadsel.v",
      "system\\textsavesel.v",
      "system\\load.v",
      "system\\save.v",
      "system\\cancela.v",
      "system\\cancelb.v",
      "system\\1c.v",
      "system\\2c.v",
      "system\\3c.v",
  };
  DisplayDevice* display = TheDisplay.load();
  if (display == nullptr) return;
  int32_t slot = kFirstBarSlot;
  for (const char* name : kPictures) {
    if (name != nullptr) display->LoadImageSlot(slot, name, 0, -1);
    ++slot;
  }
}

int32_t HitTestControlBar() {
  int32_t x = 0, y = 0;
  GetMousePos(&x, &y);
  for (const HitRect& button : kButtons)
    if (StrictlyInside(button, x, y)) return button.id;
  PressedButton = kNoButton;
  return kNoButton;
}

void HandleControlBarClick(int32_t id) {
  if (IsKeyDown(VK_LBUTTON) == 1) {
    // Asked twice: a press counts once it is seen down both times.
    if (IsKeyDown(VK_LBUTTON) == 1) {
      LeftClickLatch = 1;
      PressedButton = id;
    }
    return;
  }
  LeftClickLatch = 0;
  if (id != PressedButton) return;  // released elsewhere: the pressed button stays armed
  Act(id);
  PressedButton = kNoButton;
}

void TrackRightButton() {
  if (IsKeyDown(VK_RBUTTON) == 1) {
    if (IsKeyDown(VK_RBUTTON) == 1) RightClickLatch = 1;
  } else {
    RightClickLatch = 0;
  }
}

void HideDialogItems() { QuitQuestionShown = YesShown = NoShown = 0; }

void ResumeStageSounds() {
  if (Stage == 2)
    PlayEffect(2, 1);
  else if (Stage == 7)
    PlayEffect(3, 1);
}
