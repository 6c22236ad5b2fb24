// --audio-out in the player's host: what the device pulled, placed on the
// recording's clock, in a WAV file whose header tells its true size.
#ifdef KAZE_HAVE_SDL
#include "host/sdl/audio_recorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/kaze_run.h"

namespace kaze::host {
namespace {

using namespace std::chrono_literals;

class Ramp final : public AudioSource {
 public:
  void Mix(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < frames; ++i, ++next_) {
      stereo[2 * i] = int16_t(1 + next_);
      stereo[2 * i + 1] = int16_t(-1 - next_);
    }
  }

 private:
  int next_ = 0;
};

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
  return value;
}

// 44100 Hz: 10 ms is 441 frames.
TEST(AudioRecorder, PadsSilenceUpToEachOpeningCutsOrPadsToTheEndAndWritesTheSizesAtClose) {
  test::TempDir dir;
  const std::string path = (dir.path() / "sound.wav").string();
  const auto start = AudioRecorder::Clock::now();
  Ramp ramp;
  {
    AudioRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, 44100, start, error)) << error;
    recorder.PlaceNextPullAt(start + 20ms);  // the device opens at 20 ms
    AudioSource* tee = recorder.Tee(&ramp);
    int16_t pull[2 * 300];
    tee->Mix(pull, 300);  // what the device gets is the mix itself
    EXPECT_EQ(pull[0], 1);
    EXPECT_EQ(pull[599], -300);
    std::this_thread::sleep_for(150ms);  // the writer thread's turn
    tee->Mix(pull, 300);
    recorder.PlaceNextPullAt(start + 30ms);  // reopened at once: no gap, the pulls went past 30 ms
    tee->Mix(pull, 100);
    recorder.PlaceNextPullAt(start + 60ms);  // reopened later: silence from the end of the pulls
    tee->Mix(pull, 41);
    recorder.Close(100ms);
  }
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(bytes.size(), 44u + 4410u * 4);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(bytes, 24), 44100u);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(Le32(bytes, 40), 4410u * 4);
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  // Frames: silence to 882 (20 ms), the ramp's 700 frames to 1582, silence
  // to 2646 (60 ms), 41 more to 2687, silence to 4410 (100 ms).
  auto frame = [&](size_t index) { return std::pair<int, int>(samples[2 * index], samples[2 * index + 1]); };
  EXPECT_EQ(frame(881), std::pair(0, 0));
  EXPECT_EQ(frame(882), std::pair(1, -1));
  EXPECT_EQ(frame(1581), std::pair(700, -700));
  EXPECT_EQ(frame(1582), std::pair(0, 0));
  EXPECT_EQ(frame(2645), std::pair(0, 0));
  EXPECT_EQ(frame(2646), std::pair(701, -701));
  EXPECT_EQ(frame(2686), std::pair(741, -741));
  EXPECT_EQ(frame(2687), std::pair(0, 0));
  EXPECT_EQ(frame(4409), std::pair(0, 0));

  // A device ahead of the clock: what it had not played by the end is cut.
  {
    AudioRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, 44100, start, error)) << error;
    int16_t pull[2 * 500];
    recorder.Tee(&ramp)->Mix(pull, 500);
    recorder.Close(10ms);
  }
  EXPECT_EQ(std::filesystem::file_size(path), 44u + 441u * 4);
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
