// The files of headless runs: the audio pulled along the virtual clock and
// the snapshots.
#include "host/headless/headless_host.h"

#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <tuple>
#include <vector>

#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class HeadlessFiles : public HeadlessTest {};

class Tone final : public host::AudioSource {
 public:
  void Mix(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < frames; ++i) stereo[2 * i] = stereo[2 * i + 1] = 1000;
    mixed += frames;
  }
  size_t mixed = 0;
};

TEST_F(HeadlessFiles, AudioIsPulledSampleExactAlongTheClockAndWrittenAsWav) {
  TempDir dir;
  host::HeadlessOptions options;
  options.audioOutPath = (dir.path() / "out.wav").string();
  StartHost(options);
  Tone tone;
  EXPECT_EQ(host().OpenAudio(&tone), 44100u);
  for (int i = 0; i < 100; ++i) host().Sleep(7);  // 700 ms in uneven steps
  host().CloseAudio();
  host().Sleep(300);
  EXPECT_EQ(tone.mixed, 30870u);  // 0.7 s at 44100 Hz, nothing lost to rounding
  host().Finish(0);
  std::ifstream wav(options.audioOutPath, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<size_t>(wav.tellg()), 44u + 44100u * 4);  // silence after CloseAudio
}

TEST_F(HeadlessFiles, SnapshotsHoldTheFrameShownAtTheirTime) {
  TempDir dir;
  host::HeadlessOptions options;
  options.snapTimes = {50, 10};
  options.snapDir = dir.path().string();
  StartHost(options);
  std::vector<uint16_t> frame(640 * 480, 0xF800);  // red in 5-6-5
  host().PresentFrame(host::Frame{frame.data(), 1280, host::PixelLayout::Rgb565});
  host().Sleep(30);
  std::fill(frame.begin(), frame.end(), 0x001F);
  host().PresentFrame(host::Frame{frame.data(), 1280, host::PixelLayout::Rgb565});
  host().Sleep(30);
  for (const auto& [name, red, blue] : {std::tuple{"snap-10.png", 255, 0}, std::tuple{"snap-50.png", 0, 255}}) {
    SCOPED_TRACE(name);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.path() / name).c_str()));
    EXPECT_EQ(image.width, 640u);
    EXPECT_EQ(image.height, 480u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(rgb[0], red);
    EXPECT_EQ(rgb[2], blue);
  }
  auto frames = TraceOf("frame");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1].Int("flip"), 2);
  EXPECT_EQ(TraceOf("snap").size(), 2u);
}

}  // namespace
}  // namespace kaze::test
