// A played sound reaches the player's audio device: SDL's default device
// here is its disk driver, which writes what it is given to a file.
#ifdef KAZE_HAVE_SDL

#include <dsound.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "host/null_host.h"
#include "host/sdl/sdl_audio.h"
#include "support/sound_fixture.h"

namespace kaze::test {
namespace {

// The fake host, but with SDL's audio device as its output.
class SdlAudioHost final : public host::NullHost {
 public:
  explicit SdlAudioHost(FakeAudioHost& rest) : rest_(rest) {}
  uint32_t OpenAudio(host::AudioSource* source) override { return output_.Open(source); }
  void CloseAudio() override { output_.Close(); }

  void DesktopSize(int32_t& width, int32_t& height) override { rest_.DesktopSize(width, height); }
  void DebugOutput(std::string_view text) override { rest_.DebugOutput(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override {
    rest_.Trace(event, fields);
  }

 private:
  FakeAudioHost& rest_;
  host::SdlAudioOutput output_;
};

class SdlAudioTest : public SoundTest {};

bool HasSound(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (char byte : bytes) {
    if (byte != 0) return true;
  }
  return false;
}

TEST_F(SdlAudioTest, APlayedEffectReachesTheDiskAudioDevice) {
  std::filesystem::path output = root_ / "device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  SdlAudioHost sdlHost(host_);
  host::SetHost(&sdlHost);
  ASSERT_EQ(CreateSoundBank(nullptr), 1);
  uint16_t channel = LoadSound("tone", PcmWav(1, 22050, 16, Samples16(std::vector<int16_t>(22050, 8000))));
  ASSERT_EQ(channel, 0);
  // Before anything plays the device hears silence.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(HasSound(output));
  ASSERT_EQ(TheSoundBank->PlayChannel(channel, 1), 1);
  bool heard = false;
  for (int wait = 0; wait < 100 && !heard; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    heard = HasSound(output);
  }
  delete TheSoundBank;  // closes the device before the host goes
  TheSoundBank = nullptr;
  host::SetHost(&host_);
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("SDL_DISKAUDIOFILE");
  EXPECT_TRUE(heard);
}

}  // namespace
}  // namespace kaze::test

#endif
