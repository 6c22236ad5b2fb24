// --audio-out in the player's host: what the device pulled, placed on the
// recording's clock, in a WAV file whose header tells its true size.
#ifdef KAZE_HAVE_SDL
#include "host/sdl/audio_recorder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/kaze_run.h"
#include "support/limited_child.h"
#include "support/x_session.h"
#include "support/file_bytes.h"

namespace kaze::host {
namespace {

using kaze::test::Le32;

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
  const std::string bytes = kaze::test::ReadAll(path);
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

// The player's run onto a disk that fills: the first failure, of the video
// or of the sound (whose writes come from the recorder's own thread), is
// one line, and the run ends in order, with exit code 3 and valid files.
TEST(FullDiskPlay, EndsInOrderWithOneLineAndExitCode3LeavingValidFiles) {
  testing::XvfbServer server;
  std::string reason;
  if (!server.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
  const char* asan = std::getenv("ASAN_OPTIONS");
  // As the window tests run it: SDL leaves libdbus's allocations behind, and
  // Mesa's software OpenGL is not instrumented for ThreadSanitizer.
  const std::vector<std::string> environment = {
      "DISPLAY=" + server.Display(), "SDL_AUDIODRIVER=dummy",
      std::string("ASAN_OPTIONS=") + (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0",
      "TSAN_OPTIONS=suppressions=" KAZE_SOURCE_DIR "/tests/host/sdl/tsan.supp"};
  const struct {
    bool video;
    rlim_t limit;
    const char* said;
  } cases[] = {{true, 2 << 20, "the recording"}, {false, 64 << 10, "the sound recording"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.said);
    test::TempDir dir;
    std::vector<std::string> argv = {KAZE_BINARY, "--window",    "--scale",     "1",
                                     "--data",    KAZE_DEMO_DIR, "--audio-out", (dir.path() / "run.wav").string()};
    if (c.video) argv.insert(argv.end(), {"--record", (dir.path() / "run.y4m").string()});
    testing::ChildProcess kaze;
    ASSERT_TRUE(kaze.Fork(environment, [&] {
      const rlimit limit{c.limit, c.limit};
      setrlimit(RLIMIT_FSIZE, &limit);
      return test::ExecProgram(argv)();
    }));
    // With both files, either may fill first: the video within a few frames,
    // unless a slow start has the sound recorder write seconds of silence
    // before the first frame.
    const std::string line = kaze.WaitForLine("kaze: cannot write", 60000);
    const auto names = [&](const std::string& file) {
      return line.rfind("kaze: cannot write " + file + " " + dir.path().string(), 0) == 0;
    };
    EXPECT_TRUE(names(c.said) || (c.video && names("the sound recording"))) << kaze.Output();
    EXPECT_EQ(kaze.WaitForExit(60000), 3) << kaze.Output();
    EXPECT_EQ(kaze.WaitForLine("kaze: cannot write", 100), "") << "a second line";
    const std::string wav = kaze::test::ReadAll(dir.path() / "run.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(Le32(wav, 40), wav.size() - 44);
    if (c.video) {
      EXPECT_EQ((std::filesystem::file_size(dir.path() / "run.y4m") - 43) % (6 + 640 * 480 * 3 / 2), 0u);
    }
  }
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
