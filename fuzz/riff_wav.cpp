// Fuzzes the reading of WAV files: mmio's RIFF walk, the SoundBank's checks,
// DirectSound's buffer creation and the conversion to the output format.
// Each input is written as the data folder's one sound file and loaded into
// a bank; a sound that loads is played through the mixer and freed again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/null_host.h"
#include "platform/files.h"
#include "sound/sound_bank.h"

namespace {

// A host with nothing but an audio output that the fuzzer pulls by hand.
class QuietHost final : public kaze::host::NullHost {
 public:
  kaze::host::AudioSource* audio = nullptr;
  uint32_t OpenAudio(kaze::host::AudioSource* source) override {
    audio = source;
    return 44100;
  }
  void CloseAudio() override { audio = nullptr; }
};

QuietHost gHost;
std::filesystem::path gSoundFile;

void SetUpOnce() {
  std::filesystem::path root = std::filesystem::temp_directory_path() / ("kaze_fuzz_riff_wav_" + std::to_string(getpid()));
  std::filesystem::create_directories(root / "data" / "Sound");
  gSoundFile = root / "data" / "Sound" / "FUZZ.WAV";
  kaze::platform::SetDataRoot(root);
  kaze::host::SetHost(&gHost);
  if (CreateSoundBank(nullptr) != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (SetUpOnce(), true);
  (void)ready;
  if (std::FILE* file = std::fopen(gSoundFile.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  uint16_t channel = TheSoundBank->LoadWave("fuzz");
  if (channel != kNoChannel && gHost.audio != nullptr) {
    TheSoundBank->PlayChannel(channel, 1);
    TheSoundBank->SetChannelVolume(channel, -600);
    std::vector<int16_t> mix(2 * 512);
    gHost.audio->Mix(mix.data(), 512);
  }
  // Failed fills keep their buffers in their channels; start every input
  // with an empty bank.
  for (uint16_t used = 0; used < kChannelCount; ++used) TheSoundBank->FreeChannel(used);
  return 0;
}
