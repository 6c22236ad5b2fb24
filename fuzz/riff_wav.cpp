// Fuzzes the reading of WAV files: mmio's RIFF walk, the SoundBank's checks,
// DirectSound's buffer creation and the conversion to the output format.
// Each input is served by mmio from memory as the one sound file and loaded
// into a bank; a sound that loads is played through the mixer, once and
// looping, and freed again. Nothing is written anywhere.
#include <cstdint>
#include <span>
#include <vector>

#include "host/null_host.h"
#include "platform/winmm/mmio_memory.h"
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

void SetUpOnce() {
  kaze::host::SetHost(&gHost);
  if (CreateSoundBank(nullptr) != 1) std::abort();
}

void PullSome() {
  std::vector<int16_t> mix(2 * 512);
  gHost.audio->Mix(mix.data(), 512);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = (SetUpOnce(), true);
  (void)ready;
  kaze::platform::SetMmioMemoryFile(std::span<const uint8_t>(data, size));
  uint16_t channel = TheSoundBank->LoadWave("fuzz");
  kaze::platform::SetMmioMemoryFile(std::nullopt);
  if (channel != kNoChannel && gHost.audio != nullptr) {
    TheSoundBank->PlayChannel(channel, 0);
    PullSome();
    TheSoundBank->PlayChannel(channel, 1);
    TheSoundBank->SetChannelVolume(channel, -600);
    PullSome();
  }
  // Failed fills keep their buffers in their channels; start every input
  // with an empty bank.
  for (uint16_t used = 0; used < kChannelCount; ++used) TheSoundBank->FreeChannel(used);
  return 0;
}
