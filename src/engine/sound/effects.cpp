#include "sound/effects.h"

#include "shell/game_thread.h"
#include "sound/sound_bank.h"

uint16_t EffectChannels[kLastEffect + 1] = {};
int32_t EffectLooping[kLastEffect + 1] = {};
int32_t SoundEnabled = 3;

namespace {

struct EffectFile {
  int effect;
  const char* name;
};

// In loading order; each load takes the lowest free channel.
constexpr EffectFile kEffectFiles[] = {
    {1, "kazese01"}, {2, "kazese02"}, {3, "kazese03"}, {4, "kazese04"}, {6, "kazese06"}, {7, "opening"}, {8, "taiken"},
};

constexpr int kIntroTune = 8;

bool IsEffect(int effect) { return effect >= 1 && effect <= kLastEffect; }

}  // namespace

void LoadEffects() {
  for (const EffectFile& file : kEffectFiles) {
    if (TheSoundBank != nullptr) EffectChannels[file.effect] = TheSoundBank->LoadWave(file.name);
  }
}

void ReleaseEffects() {
  for (const EffectFile& file : kEffectFiles) {
    if (TheSoundBank != nullptr) {
      TheSoundBank->FreeChannel(EffectChannels[file.effect]);
      EffectChannels[file.effect] = kNoChannel;
    }
  }
}

void PlayEffect(int effect, int loop) {
  if (!IsEffect(effect) || SoundEnabled != 1 || EffectLooping[effect] != 0) return;
  if (TheSoundBank != nullptr) TheSoundBank->SetChannelVolume(EffectChannels[effect], 0);
  PumpFrame();
  if (TheSoundBank != nullptr) TheSoundBank->PlayChannel(EffectChannels[effect], loop);
  if (loop != 0) EffectLooping[effect] = 1;
}

void StopEffect(int effect) {
  if (!IsEffect(effect)) return;
  if (TheSoundBank != nullptr) TheSoundBank->StopChannel(EffectChannels[effect]);
  EffectLooping[effect] = 0;
}

void StopAllEffects() {
  for (int effect = 1; effect < kIntroTune; ++effect) StopEffect(effect);
}
