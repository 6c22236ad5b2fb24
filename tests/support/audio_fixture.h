// Each audio test runs against the fake host, with a data folder of its own
// whose sound folder is spelt "Data/sound" (the program asks for
// "DATA\SOUND\...").
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/kernel32/files.h"
#include "platform/setup/faults.h"
#include "platform/setup/settings.h"
#include "support/fake_audio_host.h"
#include "support/wav_builder.h"

namespace kaze::test {

class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("kaze_sound_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "Data" / "sound");
    platform::SetDataRoot(root_);
    host::SetHost(&host_);
  }

  void TearDown() override {
    platform::ClearFaults();
    platform::TheSettings() = platform::Settings{};
    host::SetHost(nullptr);
    std::filesystem::remove_all(root_);
  }

  // Writes Data/sound/<name>.wav.
  void WriteSound(const std::string& name, const Bytes& bytes) {
    WriteFile(root_ / "Data" / "sound" / (name + ".wav"), bytes);
  }

  std::filesystem::path root_;
  FakeAudioHost host_;
};

}  // namespace kaze::test
