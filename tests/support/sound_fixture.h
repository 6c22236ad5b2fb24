// Each sound test runs against the fake host, with a data folder of its own
// whose sound folder is spelt "Data/sound" (the program asks for
// "DATA\SOUND\...").
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/fake_audio_host.h"
#include "platform/machine/faults.h"
#include "platform/kernel32/files.h"
#include "platform/machine/settings.h"
#include "sound/effects.h"
#include "sound/sound_bank.h"
#include "support/wav_builder.h"

namespace kaze::test {

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("kaze_sound_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "Data" / "sound");
    platform::SetDataRoot(root_);
    host::SetHost(&host_);
    ResetEffectTables();
  }

  void TearDown() override {
    delete TheSoundBank;
    TheSoundBank = nullptr;
    platform::ClearFaults();
    platform::TheSettings() = platform::Settings{};
    ResetEffectTables();
    host::SetHost(nullptr);
    std::filesystem::remove_all(root_);
  }

  static void ResetEffectTables() {
    for (int effect = 0; effect <= kLastEffect; ++effect) {
      EffectChannels[effect] = 0;
      EffectLooping[effect] = 0;
    }
    SoundEnabled = 3;
  }

  // Writes Data/sound/<name>.wav.
  void WriteSound(const std::string& name, const Bytes& bytes) { WriteFile(root_ / "Data" / "sound" / (name + ".wav"), bytes); }

  void CreateBank() { ASSERT_EQ(CreateSoundBank(nullptr), 1); }

  // Loads a sound of its own into the bank and gives its channel.
  uint16_t LoadSound(const std::string& name, const Bytes& bytes) {
    WriteSound(name, bytes);
    return TheSoundBank->LoadWave(name.c_str());
  }

  std::filesystem::path root_;
  FakeAudioHost host_;
};

}  // namespace kaze::test
