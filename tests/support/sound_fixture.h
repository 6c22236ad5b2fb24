// The sound bank's and the effects' tests: the audio fixture, with the bank
// and the effect tables as at the program's start around each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "sound/effects.h"
#include "sound/sound_bank.h"
#include "support/audio_fixture.h"

namespace kaze::test {

class SoundTest : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    ResetEffectTables();
  }

  void TearDown() override {
    delete TheSoundBank;
    TheSoundBank = nullptr;
    ResetEffectTables();
    AudioTest::TearDown();
  }

  static void ResetEffectTables() {
    for (int effect = 0; effect <= kLastEffect; ++effect) {
      EffectChannels[effect] = 0;
      EffectLooping[effect] = 0;
    }
    SoundEnabled = 3;
  }

  void CreateBank() { ASSERT_EQ(CreateSoundBank(nullptr), 1); }

  // Loads a sound of its own into the bank and gives its channel.
  uint16_t LoadSound(const std::string& name, const Bytes& bytes) {
    WriteSound(name, bytes);
    return TheSoundBank->LoadWave(name.c_str());
  }
};

}  // namespace kaze::test
