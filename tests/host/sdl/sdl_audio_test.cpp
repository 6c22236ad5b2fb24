#ifdef KAZE_HAVE_SDL
#include "host/sdl/sdl_audio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace kaze::host {
namespace {

// A mixer stand-in whose output is known sample by sample.
class CountingSource final : public AudioSource {
 public:
  void Mix(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < frames; ++i, ++next_) {
      stereo[2 * i] = Left(next_);
      stereo[2 * i + 1] = Right(next_);
    }
    pulls.fetch_add(1);
  }
  // Never 0, so that the silence SDL plays before the device is unpaused
  // can be told apart.
  static int16_t Left(size_t frame) { return int16_t(1 + frame % 30000); }
  static int16_t Right(size_t frame) { return int16_t(-1 - int(frame % 20000)); }

  std::atomic<int> pulls{0};

 private:
  size_t next_ = 0;
};

TEST(SdlAudioOutput, MixedSamplesReachTheDeviceUnchangedThroughSdlsDiskDriver) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("kaze-audio-" + std::to_string(getpid()) + ".raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  CountingSource source;
  {
    SdlAudioOutput output;
    const uint32_t rate = output.Open(&source);
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    ASSERT_EQ(rate, 44100u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (source.pulls.load() < 3 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    output.Close();
  }
  ASSERT_GE(source.pulls.load(), 3);

  std::vector<int16_t> samples(std::filesystem::file_size(file) / sizeof(int16_t));
  std::ifstream(file, std::ios::binary)
      .read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
  std::filesystem::remove(file);
  size_t start = 0;
  while (start < samples.size() && samples[start] == 0) ++start;
  ASSERT_EQ(start % 2, 0u);
  ASSERT_GE(samples.size() - start, 2u * 1024u);
  for (size_t frame = 0; frame < (samples.size() - start) / 2; ++frame) {
    ASSERT_EQ(samples[start + 2 * frame], CountingSource::Left(frame)) << "frame " << frame;
    ASSERT_EQ(samples[start + 2 * frame + 1], CountingSource::Right(frame)) << "frame " << frame;
  }
}

TEST(SdlAudioOutput, NoDeviceMeansRate0AndTheSourceIsNeverCalled) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  CountingSource source;
  SdlAudioOutput output;
  EXPECT_EQ(output.Open(&source), 0u);
  unsetenv("SDL_AUDIODRIVER");
  output.Close();
  EXPECT_EQ(source.pulls.load(), 0);
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
