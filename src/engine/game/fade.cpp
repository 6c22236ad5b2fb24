#include "game/fade.h"

#include "display/display_device.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"
#include "sound/sound_bank.h"

int32_t FadeLevel = 0;
int32_t FadeStep = 0;
int32_t FadeCounter = 0;
int32_t FadeRampsIntroTune = 0;
int32_t FadeVolumeTable[kFadeVolumeSteps] = {};

namespace {

constexpr int32_t kFadeOutFrames = 17;
constexpr int32_t kFadeInFrames = 16;
constexpr int32_t kFadeLevelStep = 2;
constexpr int32_t kBlackLevel = 32;
constexpr int kSilentEffect = 5;

// Darkens the rectangle of the work surface and brings the whole work
// surface to the back buffer; the next PumpFrame shows it.
void DarkenAndShow(int32_t x, int32_t y, int32_t width, int32_t height) {
  DisplayDevice* display = TheDisplay.load();
  if (display == nullptr) return;
  display->DarkenWorkRect(x, y, width, height, FadeLevel);
  display->CopyWorkToBack();
}

void Arm(int32_t level, int32_t step, int32_t frames, int32_t nextState) {
  FadeLevel = level;
  FadeStep = step;
  FadeCounter = frames;
  FadeState = nextState;
}

}  // namespace

void InitFadeVolumeTable() {
  // The three quietest steps fall faster than the rest.
  FadeVolumeTable[0] = -4000;
  FadeVolumeTable[1] = -3600;
  FadeVolumeTable[2] = -3300;
  for (int i = 3; i < kFadeVolumeSteps; ++i) FadeVolumeTable[i] = -200 * (kFadeVolumeSteps - i);
}

void StepFade(int32_t x, int32_t y, int32_t width, int32_t height) {
  switch (FadeState) {
    case kFadeOutRequested:
      Arm(0, kFadeLevelStep, kFadeOutFrames, kFadingOut);
      return;
    case kFadeInRequested:
      Arm(kBlackLevel, -kFadeLevelStep, kFadeInFrames, kFadingIn);
      return;
    case kFadingOut:
      FadeLevel += FadeStep;
      SetEffectVolumes(FadeVolumeTable[FadeCounter]);
      if (--FadeCounter <= 0) {
        FadeState = kFadedOut;
        SetEffectVolumes(0);  // black and silent-looking, but at full volume again
        return;
      }
      DarkenAndShow(x, y, width, height);
      return;
    case kFadingIn:
      FadeLevel += FadeStep;
      if (--FadeCounter <= 0) {
        FadeState = kFadeIdle;
        return;
      }
      DarkenAndShow(x, y, width, height);
      return;
    case kFadedOut:
      Arm(0, kFadeLevelStep, kFadeOutFrames, kDarkeningAgain);
      return;
    case kDarkeningAgain:
      FadeLevel += FadeStep;
      if (--FadeCounter <= 0) {
        FadeState = kFadedOut;
        return;
      }
      DarkenAndShow(0, 0, 640, 480);  // the whole screen, whatever was asked
      return;
    default:
      return;  // idle, or a value no scene sets
  }
}

void SetEffectVolumes(int32_t volume) {
  if (TheSoundBank == nullptr) return;
  const int last = FadeRampsIntroTune == 1 ? 8 : 7;
  for (int effect = 1; effect <= last; ++effect) {
    // Effect 5 has no sound: its channel number was never set and would
    // name another effect's channel.
    if (effect == kSilentEffect) continue;
    TheSoundBank->SetChannelVolume(EffectChannels[effect], volume);
  }
}
