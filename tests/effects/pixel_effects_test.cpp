// The dimmed and blended draws and the darkening through locked stand-in
// surfaces: clipping to the screen, black source pixels, both display
// formats, lock failures and the draw target.
#include "drawing/drawing_fixture.h"
#include "image/pixel_effects.h"
#include "platform/faults.h"

namespace kaze::test {
namespace {

using platform::PixelLayout;

constexpr uint16_t kPaper = 0x1082;  // 5-6-5 (2, 4, 2), 5-5-5 (4, 4, 2): small channels

class Effects : public DrawingTest {
 protected:
  void Start(PixelLayout layout = PixelLayout::Rgb565) {
    MakeDisplay(layout);
    Fill(back, kPaper);
    Fill(work, kPaper);
  }
  int LockCount(IDirectDrawSurface* surface) { return surface->state.lockCount; }
};

// Never black: column in the low bits, row above it.
uint16_t Numbered(int32_t x, int32_t y) { return static_cast<uint16_t>(((y & 0x3F) << 10) | (x & 0x3FF) | 0x0001); }

uint16_t Dimmed565(uint16_t s) { return static_cast<uint16_t>((s >> 1) & 0x7BCF); }

TEST_F(Effects, DimmedDrawHalvesWhiteOnBothFormatsAndSkipsBlack) {
  Start(PixelLayout::Rgb565);
  PutPicture(0, 3, 1, [](int32_t x, int32_t) -> uint16_t { return x == 0 ? 0xFFFF : x == 1 ? 0x0000 : 0x0001; });
  DrawImageDimmed(0, 0, 0);
  EXPECT_EQ(Pixel(back, 0, 0), 0x7BCF);
  EXPECT_EQ(Pixel(back, 1, 0), kPaper);  // black source pixel: unchanged
  EXPECT_EQ(Pixel(back, 2, 0), 0x0000);  // blue 1 dims to nothing
  EXPECT_EQ(device->halfMask, 0x7BCFu);
}

TEST_F(Effects, DimmedWhiteOn555Is3DEF) {
  Start(PixelLayout::Rgb555);
  PutPicture(0, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0x7FFF; });
  DrawImageDimmed(0, 5, 5);
  EXPECT_EQ(Pixel(back, 5, 5), 0x3DEF);
}

TEST_F(Effects, DimmedAndBlendedDrawsAreCutAtEveryScreenEdge) {
  Start();
  PutPicture(0, 40, 30, Numbered);
  struct Place { int32_t x, y; };
  for (const Place at : {Place{-10, 100}, Place{630, 100}, Place{200, -7}, Place{200, 470}, Place{-639, -479}}) {
    for (int blended = 0; blended < 2; ++blended) {
      Fill(back, kPaper);
      if (blended) DrawImageBlended(0, at.x, at.y, 1.0f);
      else DrawImageDimmed(0, at.x, at.y);
      ExpectScreen(back, [&](int32_t x, int32_t y) -> uint16_t {
        const bool inside = x >= at.x && x < at.x + 40 && y >= at.y && y < at.y + 30;
        if (!inside) return kPaper;
        const uint16_t s = Numbered(x - at.x, y - at.y);
        return blended ? static_cast<uint16_t>(s & 0xFFDF) : Dimmed565(s);
      });
    }
  }
  EXPECT_EQ(LockCount(back), 0);
  EXPECT_EQ(LockCount(device->slots[0].surface), 0);
}

TEST_F(Effects, PicturesWhollyOffScreenChangeNothingAndSucceed) {
  Start();
  PutPicture(0, 40, 30, Numbered);
  for (int32_t x : {-40, -41, 640, 700}) EXPECT_EQ(device->DrawDimmed(back, 0, x, 0), 1) << x;
  for (int32_t y : {-30, -31, 480, 700}) EXPECT_EQ(device->DrawBlended(back, 0, 0, y, 0.5f), 1) << y;
  ExpectScreen(back, [](int32_t, int32_t) { return kPaper; });
}

TEST_F(Effects, BlendMixesEachChannelByTheWeightAgainstHandComputedPixels) {
  Start();
  // Red 31 over blue 31, 5-6-5: a half gives 15 and 15; black is skipped.
  PutPicture(0, 2, 1, [](int32_t x, int32_t) -> uint16_t { return x == 0 ? 0xF800 : 0x0000; });
  Fill(back, 0x001F);
  DrawImageBlended(0, 0, 0, 0.5f);
  EXPECT_EQ(Pixel(back, 0, 0), (15 << 11) | 15);
  EXPECT_EQ(Pixel(back, 1, 0), 0x001F);

  // At 0 the target keeps its channels (green's lowest bit goes); at 1 the source shows.
  Fill(back, 0xFFFF);
  DrawImageBlended(0, 0, 0, 0.0f);
  EXPECT_EQ(Pixel(back, 0, 0), 0xFFDF);
  DrawImageBlended(0, 0, 0, 1.0f);
  EXPECT_EQ(Pixel(back, 0, 0), 0xF800);

  // 0.1 and float(1 - 0.1) sum to just below 1: white over white is (30, 30, 30).
  PutPicture(1, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0xFFFF; });
  Fill(back, 0xFFFF);
  DrawImageBlended(1, 0, 0, 0.1f);
  EXPECT_EQ(Pixel(back, 0, 0), (30 << 11) | (30 << 6) | 30);
}

TEST_F(Effects, BlendOn555UsesThatFormatsChannels) {
  Start(PixelLayout::Rgb555);
  PutPicture(0, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0x7FFF; });
  Fill(back, 0x0000);
  DrawImageBlended(0, 0, 0, 0.25f);
  EXPECT_EQ(Pixel(back, 0, 0), (7 << 10) | (7 << 5) | 7);  // 31 * 0.25 = 7.75
}

TEST_F(Effects, PixelDrawsFollowTheFadeStateToTheWorkSurface) {
  Start();
  PutPicture(0, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0xFFFF; });
  FadeState = 4;
  DrawImageDimmed(0, 0, 0);
  DrawImageBlended(0, 1, 0, 1.0f);
  EXPECT_EQ(Pixel(work, 0, 0), 0x7BCF);
  EXPECT_EQ(Pixel(work, 1, 0), 0xFFDF);
  EXPECT_EQ(Pixel(back, 0, 0), kPaper);
  EXPECT_EQ(Pixel(back, 1, 0), kPaper);
}

TEST_F(Effects, AFailedLockChangesNothingAndLeavesNoSurfaceLocked) {
  Start();
  PutPicture(0, 4, 4, Numbered);
  platform::InjectFault("IDirectDrawSurface::Lock", DDERR_SURFACELOST, 2);  // the target's lock
  EXPECT_EQ(device->DrawDimmed(back, 0, 0, 0), 0);
  EXPECT_EQ(LockCount(device->slots[0].surface), 0);
  platform::ClearFaults();
  platform::InjectFault("IDirectDrawSurface::Lock", DDERR_SURFACELOST, 1);  // the picture's lock
  EXPECT_EQ(device->DrawBlended(back, 0, 0, 0, 0.5f), 0);
  platform::ClearFaults();
  platform::InjectFault("IDirectDrawSurface::Lock", DDERR_SURFACELOST, 1);
  EXPECT_EQ(device->DarkenWorkRect(0, 0, 640, 480, 32), 0);
  platform::ClearFaults();
  ExpectScreen(back, [](int32_t, int32_t) { return kPaper; });
  ExpectScreen(work, [](int32_t, int32_t) { return kPaper; });
}

TEST_F(Effects, DarkeningTheControlBarStripBlackensExactlyIt) {
  Start();
  Fill(work, 0xFFFF);
  EXPECT_EQ(device->DarkenWorkRect(0, 450, 640, 30, 32), 1);
  ExpectScreen(work, [](int32_t, int32_t y) -> uint16_t { return y >= 450 ? 0 : 0xFFFF; });
  EXPECT_EQ(LockCount(work), 0);
}

// Darkens a white work surface, cut from a much larger rectangle, at one level.
uint16_t DarkenedWhite(DisplayDevice& device, IDirectDrawSurface* work, uint16_t white, int32_t level) {
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) work->state.pixels.Row(y)[x] = white;
  EXPECT_EQ(device.DarkenWorkRect(-100, -100, 2000, 2000, level), 1);
  EXPECT_EQ(work->state.pixels.Row(0)[0], work->state.pixels.Row(479)[639]);
  return work->state.pixels.Row(0)[0];
}

TEST_F(Effects, DarkeningLevels0_1_31_32On565) {
  Start(PixelLayout::Rgb565);
  EXPECT_EQ(DarkenedWhite(*device, work, 0xFFFF, 0), 0xFFDF);  // only green's lowest bit goes
  EXPECT_EQ(DarkenedWhite(*device, work, 0xFFFF, 1), (30 << 11) | (30 << 6) | 30);
  EXPECT_EQ(DarkenedWhite(*device, work, 0xFFFF, 31), 0);
  EXPECT_EQ(DarkenedWhite(*device, work, 0xFFFF, 32), 0);
}

TEST_F(Effects, DarkeningLevels0_1_31_32On555) {
  Start(PixelLayout::Rgb555);
  EXPECT_EQ(DarkenedWhite(*device, work, 0x7FFF, 0), 0x7FFF);  // level 0 leaves 5-5-5 as it was
  EXPECT_EQ(DarkenedWhite(*device, work, 0x7FFF, 1), (30 << 10) | (30 << 5) | 30);
  EXPECT_EQ(DarkenedWhite(*device, work, 0x7FFF, 31), 0);
  EXPECT_EQ(DarkenedWhite(*device, work, 0x7FFF, 32), 0);
}

TEST_F(Effects, DarkeningARectangleOffTheScreenChangesNothingAndSucceeds) {
  Start();
  EXPECT_EQ(device->DarkenWorkRect(-100, 0, 50, 480, 32), 1);
  EXPECT_EQ(device->DarkenWorkRect(0, -100, 640, 50, 32), 1);
  ExpectScreen(work, [](int32_t, int32_t) { return kPaper; });
}

}  // namespace
}  // namespace kaze::test
