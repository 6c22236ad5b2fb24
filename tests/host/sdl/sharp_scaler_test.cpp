#ifdef KAZE_HAVE_SDL
#include "host/sdl/sharp_scaler.h"

#include <gtest/gtest.h>

#include <random>

#include "host/host.h"

namespace kaze::host {
namespace {

std::vector<uint16_t> NoiseFrame(uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint16_t> frame(size_t(kScreenWidth) * kScreenHeight);
  for (uint16_t& pixel : frame) pixel = uint16_t(random());
  return frame;
}

// The fast version keeps rows between calls: it must give the reference's
// pixels exactly, also when the size changes from call to call, and write
// nothing beyond each row's width.
TEST(SharpScaler, GivesTheReferencesPixelsAtEverySizeAndLayout) {
  SharpScaler scaler;
  const struct {
    int32_t width, height, factor;
  } sizes[] = {{1440, 1080, 2}, {1066, 800, 1}, {1280, 960, 2}, {1920, 1440, 3}, {701, 523, 1}, {500, 375, 1}};
  for (const PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    const std::vector<uint16_t> frame = NoiseFrame(layout == PixelLayout::Rgb565 ? 1 : 2);
    for (const auto& size : sizes) {
      SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
      const int32_t pitch = (size.width + 3) * 4;
      std::vector<uint32_t> fast(size_t(pitch / 4) * size.height, 0x12345678u), slow(fast);
      scaler.Scale(frame.data(), layout, size.factor, fast.data(), pitch, size.width, size.height);
      ScaleSharpReference(frame.data(), layout, size.factor, slow.data(), pitch, size.width, size.height);
      ASSERT_EQ(fast, slow);
      EXPECT_EQ(fast[size_t(size.width)], 0x12345678u);
    }
  }
}

// At a whole multiple the second step changes nothing: each pixel is a
// square block of its own colour, widened exactly.
TEST(SharpScaler, AWholeMultipleIsPlainBlocks) {
  const std::vector<uint16_t> frame = NoiseFrame(3);
  std::vector<uint32_t> out(size_t(1280) * 960);
  SharpScaler().Scale(frame.data(), PixelLayout::Rgb565, 2, out.data(), 1280 * 4, 1280, 960);
  for (int32_t y = 0; y < 960; ++y)
    for (int32_t x = 0; x < 1280; ++x)
      ASSERT_EQ(out[size_t(y) * 1280 + x], WidenPixel(frame[size_t(y / 2) * kScreenWidth + x / 2], PixelLayout::Rgb565))
          << x << "," << y;
  EXPECT_EQ(WidenPixel(0xFFFF, PixelLayout::Rgb565), 0xFFFFFFFFu);
  EXPECT_EQ(WidenPixel(0x7FFF, PixelLayout::Rgb555), 0xFFFFFFFFu);
  EXPECT_EQ(WidenPixel(0x07E0, PixelLayout::Rgb565), 0xFF00FF00u);
}

// What sharp is for: at 2.25x every source row takes the same share of the
// screen (nearest neighbour gives some rows 2 screen rows and others 3,
// a third more), and a one-pixel line's edges stay narrow: each is a ramp
// 1.125 screen pixels long, so three rows in all at most are between black
// and white. Lines eight rows apart (18 screen rows) never meet, so eight
// frames put a line on every row.
TEST(SharpScaler, EverySourceRowTakesTheSameShareAt2Point25) {
  constexpr int32_t kApart = 8;
  std::vector<uint32_t> out(size_t(1440) * 1080);
  SharpScaler scaler;
  for (int32_t first = 0; first < kApart; ++first) {
    std::vector<uint16_t> frame(size_t(kScreenWidth) * kScreenHeight, 0);
    for (int32_t row = first; row < kScreenHeight; row += kApart)
      std::fill_n(frame.begin() + size_t(row) * kScreenWidth, kScreenWidth, uint16_t(0xFFFF));
    scaler.Scale(frame.data(), PixelLayout::Rgb565, 2, out.data(), 1440 * 4, 1440, 1080);
    for (int32_t row = first == 0 ? kApart : first; row < kScreenHeight - 1; row += kApart) {
      // The screen rows the source row covers (from 2.25 row to 2.25 row +
      // 2.25), and two more on either side.
      const int32_t top = row * 9 / 4 - 2, bottom = ((row + 1) * 9 + 3) / 4 + 2;
      int32_t share = 0, soft = 0;
      for (int32_t y = top; y < bottom; ++y) {
        const int32_t level = int32_t(out[size_t(y) * 1440 + 700] & 0xFF);
        share += level;
        soft += level != 0 && level != 255 ? 1 : 0;
      }
      EXPECT_NEAR(share, 2.25 * 255, 0.03 * 2.25 * 255) << "row " << row;
      EXPECT_LE(soft, 3) << "row " << row;
    }
  }
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
