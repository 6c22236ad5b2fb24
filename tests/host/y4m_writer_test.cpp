// Recording a run as a Y4M video: frames every 20 ms of the run's clock,
// the picture shown at each moment, and nothing changed in the run itself.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>

#include "host/y4m_writer.h"
#include "support/headless_fixture.h"
#include "support/file_bytes.h"

namespace kaze::test {
namespace {

const std::string kHeader = "YUV4MPEG2 W640 H480 F50:1 Ip A1:1 C420jpeg\n";
constexpr size_t kFrameBytes = 6 + 640 * 480 * 3 / 2;

// Y, Cb, Cr of the 2x2 block at (x, y) of frame `index`.
struct Yuv {
  int y, cb, cr;
};
Yuv Sample(const std::string& video, size_t index, size_t x, size_t y) {
  const size_t frame = kHeader.size() + index * kFrameBytes;
  const auto at = [&](size_t offset) { return static_cast<int>(static_cast<uint8_t>(video[frame + 6 + offset])); };
  const size_t chroma = (y / 2) * 320 + x / 2;
  return {at(y * 640 + x), at(640 * 480 + chroma), at(640 * 480 * 5 / 4 + chroma)};
}

class Recording : public HeadlessTest {};

TEST_F(Recording, WritesAFrameEvery20MsShowingThePictureOfThatMomentInEitherLayout) {
  TempDir dir;
  host::HeadlessOptions options;
  options.recordPath = (dir.path() / "run.y4m").string();
  StartHost(options);
  std::vector<uint16_t> frame(640 * 480, 0xF800);  // red in 5-6-5
  host().PresentFrame(host::Frame{frame.data(), 1280, platform::PixelLayout::Rgb565});
  host().Sleep(30);
  std::fill(frame.begin(), frame.end(), 0x001F);  // blue in 5-5-5
  host().PresentFrame(host::Frame{frame.data(), 1280, platform::PixelLayout::Rgb555});
  host().Sleep(31);
  host().Finish(0);  // at 61 ms: the frames of 0, 20, 40 and 60 ms
  const std::string video = ReadAll(options.recordPath);
  ASSERT_EQ(video.size(), kHeader.size() + 4 * kFrameBytes);
  EXPECT_EQ(video.substr(0, kHeader.size()), kHeader);
  for (size_t index = 0; index < 4; ++index) EXPECT_EQ(video.substr(kHeader.size() + index * kFrameBytes, 6), "FRAME\n");
  // BT.601 full range: red (76, 85, 255), blue (29, 255, 107).
  for (size_t index : {0, 1}) {
    Yuv red = Sample(video, index, 639, 479);
    EXPECT_EQ(red.y, 76);
    EXPECT_EQ(red.cb, 85);
    EXPECT_EQ(red.cr, 255);
  }
  for (size_t index : {2, 3}) {
    Yuv blue = Sample(video, index, 0, 0);
    EXPECT_EQ(blue.y, 29);
    EXPECT_EQ(blue.cb, 255);
    EXPECT_EQ(blue.cr, 107);
  }
}

// The vector converter against the one that follows the formulas pixel by
// pixel: random pictures (every 16-bit value is as likely), rows with
// padding, both layouts.
TEST(YuvConversion, TheFastConverterGivesThePlainOnesBytes) {
  std::mt19937 random(12);
  constexpr int32_t kPitch = 2 * (640 + 24);
  std::vector<uint16_t> pixels(kPitch / 2 * 480);
  for (const auto layout : {platform::PixelLayout::Rgb565, platform::PixelLayout::Rgb555}) {
    for (int picture = 0; picture < 3; ++picture) {
      for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
      if (picture == 2) {  // pure blue and pure red: chroma clamped at 255
        const uint16_t red = layout == platform::PixelLayout::Rgb565 ? 0xF800 : 0x7C00;
        std::fill_n(pixels.begin(), pixels.size() / 4, uint16_t{0x001F});
        std::fill_n(pixels.begin() + static_cast<ptrdiff_t>(pixels.size() / 4), pixels.size() / 4, red);
      }
      std::vector<uint8_t> fast(640 * 480 * 3 / 2), plain(fast.size());
      host::ConvertToYuv420(pixels.data(), kPitch, layout, fast.data(), fast.data() + 640 * 480,
                            fast.data() + 640 * 480 * 5 / 4);
      host::ConvertToYuv420Plain(pixels.data(), kPitch, layout, plain.data(), plain.data() + 640 * 480,
                                 plain.data() + 640 * 480 * 5 / 4);
      ASSERT_EQ(fast, plain) << "picture " << picture;
    }
  }
}

// The demo story recorded to its end by --until, picture and sound, next
// to its snapshot.
TEST(RecordedRun, HoldsEveryFrameUpToTheEndAndMatchesTheSnapshotAndLeavesTheRunAsItWas) {
  TempDir dir;
  const std::string video = (dir.path() / "run.y4m").string();
  const std::vector<std::string> common = {"--data", KAZE_DEMO_DIR, "--until", "1000", "--snap", "700",
                                           "--snap-dir", dir.path().string()};
  std::vector<std::string> recording = common;
  const std::string sound = (dir.path() / "run.wav").string();
  recording.insert(recording.end(), {"--record", video, "--audio-out", sound});
  KazeRun plain = RunKaze(common);
  KazeRun recorded = RunKaze(recording);
  ASSERT_EQ(recorded.exitCode, 0) << recorded.stderrText;
  EXPECT_EQ(recorded.traceText, plain.traceText);  // the run sees nothing of the recording

  const TraceLine* exit = Last(recorded.trace, "exit");
  ASSERT_NE(exit, nullptr);
  ASSERT_GE(exit->t, 1000);
  const std::string bytes = ReadAll(video);
  // One frame for each 20 ms from 0 to the end of the run, both included.
  const size_t frames = static_cast<size_t>(exit->t / 20 + 1);
  ASSERT_EQ(bytes.size(), kHeader.size() + frames * kFrameBytes);
  EXPECT_EQ(bytes.substr(0, kHeader.size()), kHeader);
  EXPECT_EQ(std::filesystem::file_size(sound), 44 + frames * 882 * 4);  // the sound ends with the video

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.path() / "snap-700.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  // Frame 35 is 700 ms: each 2x2 block against the snapshot converted in
  // floating point, within the rounding of the fixed-point conversion.
  int worst = 0;
  double spread = 0;
  for (size_t y = 0; y < 480; y += 2)
    for (size_t x = 0; x < 640; x += 2) {
      double r = 0, g = 0, b = 0;
      for (size_t dy = 0; dy < 2; ++dy)
        for (size_t dx = 0; dx < 2; ++dx) {
          const uint8_t* p = &rgb[((y + dy) * 640 + x + dx) * 3];
          const double luma = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
          const Yuv got = Sample(bytes, 35, x + dx, y + dy);
          worst = std::max(worst, static_cast<int>(std::abs(got.y - std::lround(luma))));
          r += p[0] / 4.0, g += p[1] / 4.0, b += p[2] / 4.0;
        }
      const Yuv got = Sample(bytes, 35, x, y);
      const double cb = std::min(255.0, 128 - 0.168736 * r - 0.331264 * g + 0.5 * b);
      const double cr = std::min(255.0, 128 + 0.5 * r - 0.418688 * g - 0.081312 * b);
      worst = std::max({worst, static_cast<int>(std::abs(got.cb - std::lround(cb))),
                        static_cast<int>(std::abs(got.cr - std::lround(cr)))});
      spread += std::abs(r - g) + std::abs(g - b);
    }
  EXPECT_LE(worst, 1);
  EXPECT_GT(spread, 0) << "the snapshot should show a coloured picture";
}

}  // namespace
}  // namespace kaze::test
