// Recording a run as a Y4M video: frames every 20 ms of the run's clock,
// the picture shown at each moment, and the fast colour conversion against
// the plain one.
#include "host/y4m_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "support/file_bytes.h"
#include "support/headless_fixture.h"
#include "support/y4m_video.h"

namespace kaze::test {
namespace {

class Recording : public HeadlessTest {};

TEST_F(Recording, WritesAFrameEvery20MsShowingThePictureOfThatMomentInEitherLayout) {
  TempDir dir;
  host::HeadlessOptions options;
  options.recordPath = (dir.path() / "run.y4m").string();
  StartHost(options);
  std::vector<uint16_t> frame(640 * 480, 0xF800);  // red in 5-6-5
  host().PresentFrame(host::Frame{frame.data(), 1280, host::PixelLayout::Rgb565});
  host().Sleep(30);
  std::fill(frame.begin(), frame.end(), 0x001F);  // blue in 5-5-5
  host().PresentFrame(host::Frame{frame.data(), 1280, host::PixelLayout::Rgb555});
  host().Sleep(31);
  host().Finish(0);  // at 61 ms: the frames of 0, 20, 40 and 60 ms
  const std::string video = ReadAll(options.recordPath);
  ASSERT_EQ(video.size(), kY4mHeaderLine.size() + 4 * kY4mFrameBytes);
  EXPECT_EQ(video.substr(0, kY4mHeaderLine.size()), kY4mHeaderLine);
  for (size_t index = 0; index < 4; ++index)
    EXPECT_EQ(video.substr(kY4mHeaderLine.size() + index * kY4mFrameBytes, 6), "FRAME\n");
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
  for (const auto layout : {host::PixelLayout::Rgb565, host::PixelLayout::Rgb555}) {
    for (int picture = 0; picture < 3; ++picture) {
      for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
      if (picture == 2) {  // pure blue and pure red: chroma clamped at 255
        const uint16_t red = layout == host::PixelLayout::Rgb565 ? 0xF800 : 0x7C00;
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

}  // namespace
}  // namespace kaze::test
