// Fuzzes the reading of WAV files: mmio's RIFF walk, the SoundBank's checks,
// DirectSound's buffer creation and the conversion to the output format.
// Each input is written as the data folder's one sound file and loaded into
// a bank; a sound that loads is played through the mixer and freed again.
#include <unistd.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/files.h"
#include "sound/sound_bank.h"

namespace {

// A host with nothing but an audio output that the fuzzer pulls by hand.
class QuietHost final : public kaze::host::Host {
 public:
  kaze::host::AudioSource* audio = nullptr;
  bool OpenScreen() override { return false; }
  void CloseScreen() override {}
  void DesktopSize(int32_t& width, int32_t& height) override { width = 640, height = 480; }
  void PresentFrame(const kaze::host::Frame&) override {}
  bool PollEvent(kaze::host::Event&) override { return false; }
  bool IsKeyDown(uint32_t) override { return false; }
  void CursorPos(int32_t& x, int32_t& y) override { x = 0, y = 0; }
  void SetCursorShown(bool) override {}
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {}
  bool StartThread(std::function<void()>) override { return false; }
  uint32_t OpenAudio(kaze::host::AudioSource* source) override {
    audio = source;
    return 44100;
  }
  void CloseAudio() override { audio = nullptr; }
  void MessageBox(std::string_view, std::string_view) override {}
  void DebugOutput(std::string_view) override {}
  void Trace(std::string_view, std::initializer_list<kaze::host::TraceField>) override {}
  void Finish(int) override {}
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

// Debugger text goes nowhere here; weak, so that the program's own
// definition wins where it is linked in.
__attribute__((weak)) void OutputDebugStringA(LPCSTR) {}

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
