// The dimmed and blended draws and the darkening through locked stand-in
// surfaces: clipping to the screen, black source pixels, both display
// formats, lock failures and the draw target.
#include <cstdint>
#include <limits>
#include <ostream>

#include "support/drawing_fixture.h"
#include "image/pixel_effects.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/faults.h"

namespace kaze::test {
namespace {

using host::PixelLayout;

constexpr uint16_t kFaintPaper = 0x1082;  // 5-6-5 (2, 4, 2), 5-5-5 (4, 4, 2): small channels

class Effects : public DrawingTest {
 protected:
  void Start(PixelLayout layout = PixelLayout::Rgb565) {
    MakeDisplay(layout);
    Fill(back, kFaintPaper);
    Fill(work, kFaintPaper);
  }
  int LockCount(IDirectDrawSurface* surface) { return platform::StateOf(surface).lockCount; }
};

// Never black: column in the low bits, row above it.
uint16_t NeverBlack(int32_t x, int32_t y) { return static_cast<uint16_t>(((y & 0x3F) << 10) | (x & 0x3FF) | 0x0001); }

uint16_t Dimmed565(uint16_t s) { return static_cast<uint16_t>((s >> 1) & 0x7BCF); }

// The pixel rules themselves are checked on rows (pixel_kernels_test); here,
// that each draw takes them in the display's own format.
struct Format {
  PixelLayout layout;
  uint16_t white, dimmedWhite, quarterWhite, darkenedWhite, whiteAtLevelZero;
};

void PrintTo(const Format& format, std::ostream* out) {
  *out << (format.layout == PixelLayout::Rgb565 ? "5-6-5" : "5-5-5");
}

class EffectsInEachFormat : public Effects, public ::testing::WithParamInterface<Format> {};

TEST_P(EffectsInEachFormat, EachDrawWorksInTheDisplaysFormat) {
  const Format f = GetParam();
  Start(f.layout);
  PutPicture(0, 2, 1, [&](int32_t x, int32_t) -> uint16_t { return x == 0 ? f.white : 0x0000; });
  Fill(back, 0x0000);
  DrawImageDimmed(0, 0, 0);
  DrawImageBlended(0, 0, 1, 0.25f);
  EXPECT_EQ(Pixel(back, 0, 0), f.dimmedWhite);
  EXPECT_EQ(Pixel(back, 0, 1), f.quarterWhite);  // 31 * 0.25 = 7.75, truncated
  Fill(back, kFaintPaper);
  DrawImageDimmed(0, 0, 0);
  EXPECT_EQ(Pixel(back, 1, 0), kFaintPaper);  // black source pixels are not drawn

  // Darkening a rectangle much larger than the screen reaches all of it.
  Fill(work, f.white);
  EXPECT_EQ(device->DarkenWorkRect(-100, -100, 2000, 2000, 1), 1);
  EXPECT_EQ(Pixel(work, 0, 0), f.darkenedWhite);
  EXPECT_EQ(Pixel(work, 639, 479), f.darkenedWhite);
  Fill(work, f.white);
  device->DarkenWorkRect(0, 0, 640, 480, 0);
  EXPECT_EQ(Pixel(work, 320, 240), f.whiteAtLevelZero);
  device->DarkenWorkRect(0, 0, 640, 480, 32);
  EXPECT_EQ(Pixel(work, 320, 240), 0);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, EffectsInEachFormat,
                         ::testing::Values(Format{PixelLayout::Rgb565, 0xFFFF, 0x7BCF, (7 << 11) | (7 << 6) | 7,
                                                  (30 << 11) | (30 << 6) | 30, 0xFFDF},
                                           Format{PixelLayout::Rgb555, 0x7FFF, 0x3DEF, (7 << 10) | (7 << 5) | 7,
                                                  (30 << 10) | (30 << 5) | 30, 0x7FFF}),
                         [](const auto& info) {
                           return info.param.layout == PixelLayout::Rgb565 ? "Rgb565" : "Rgb555";
                         });

TEST_F(Effects, EmptyAndMissingSlotsDrawNothing) {
  Start();
  PutPicture(5, 8, 8, NeverBlack);
  device->ReleaseSlot(5);
  for (int32_t slot : {3, 5, -1, kSlotCount, INT32_MAX, INT32_MIN}) {
    DrawImageDimmed(slot, 0, 0);
    DrawImageBlended(slot, 0, 0, 0.5f);
    EXPECT_EQ(device->DrawDimmed(back, slot, 0, 0), 0) << slot;
    EXPECT_EQ(device->DrawBlended(back, slot, 0, 0, 1.0f), 0) << slot;
  }
  PutPicture(0, 8, 8, NeverBlack);
  EXPECT_EQ(device->DrawDimmed(nullptr, 0, 0, 0), 0);
  EXPECT_EQ(device->DrawBlended(nullptr, 0, 0, 0, 1.0f), 0);
  ExpectScreen(back, [](int32_t, int32_t) { return kFaintPaper; });
  EXPECT_EQ(LockCount(back), 0);
}

TEST_F(Effects, WeightsBeyondZeroToOneDrawAsTheNearestEnd) {
  Start();
  PutPicture(0, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0xF800; });
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float alpha : {1.5f, 1e9f, std::numeric_limits<float>::infinity()}) {
    Fill(back, 0x001F);
    DrawImageBlended(0, 0, 0, alpha);
    EXPECT_EQ(Pixel(back, 0, 0), 0xF800) << alpha;
  }
  for (float alpha : {-0.5f, -1e9f, nan}) {
    Fill(back, 0x001F);
    DrawImageBlended(0, 0, 0, alpha);
    EXPECT_EQ(Pixel(back, 0, 0), 0x001F) << alpha;
  }
}

TEST_F(Effects, DimmedAndBlendedDrawsAreCutAtEveryScreenEdge) {
  Start();
  PutPicture(0, 40, 30, NeverBlack);
  struct Place {
    int32_t x, y;
  };
  for (const Place at : {Place{-10, 100}, Place{630, 100}, Place{200, -7}, Place{200, 470}, Place{-639, -479}}) {
    for (int blended = 0; blended < 2; ++blended) {
      Fill(back, kFaintPaper);
      if (blended)
        DrawImageBlended(0, at.x, at.y, 1.0f);
      else
        DrawImageDimmed(0, at.x, at.y);
      ExpectScreen(back, [&](int32_t x, int32_t y) -> uint16_t {
        const bool inside = x >= at.x && x < at.x + 40 && y >= at.y && y < at.y + 30;
        if (!inside) return kFaintPaper;
        const uint16_t s = NeverBlack(x - at.x, y - at.y);
        return blended ? static_cast<uint16_t>(s & 0xFFDF) : Dimmed565(s);
      });
    }
  }
  EXPECT_EQ(LockCount(back), 0);
  EXPECT_EQ(LockCount(device->slots[0].surface), 0);
}

TEST_F(Effects, PicturesWhollyOffScreenChangeNothingAndSucceed) {
  Start();
  PutPicture(0, 40, 30, NeverBlack);
  for (int32_t x : {-40, -41, 640, 700}) EXPECT_EQ(device->DrawDimmed(back, 0, x, 0), 1) << x;
  for (int32_t y : {-30, -31, 480, 700}) EXPECT_EQ(device->DrawBlended(back, 0, 0, y, 0.5f), 1) << y;
  ExpectScreen(back, [](int32_t, int32_t) { return kFaintPaper; });
}

TEST_F(Effects, PixelDrawsFollowTheFadeStateToTheWorkSurface) {
  Start();
  PutPicture(0, 1, 1, [](int32_t, int32_t) -> uint16_t { return 0xFFFF; });
  FadeState = 4;
  DrawImageDimmed(0, 0, 0);
  DrawImageBlended(0, 1, 0, 1.0f);
  EXPECT_EQ(Pixel(work, 0, 0), 0x7BCF);
  EXPECT_EQ(Pixel(work, 1, 0), 0xFFDF);
  EXPECT_EQ(Pixel(back, 0, 0), kFaintPaper);
  EXPECT_EQ(Pixel(back, 1, 0), kFaintPaper);
}

TEST_F(Effects, AFailedLockChangesNothingAndLeavesNoSurfaceLocked) {
  Start();
  PutPicture(0, 4, 4, NeverBlack);
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
  ExpectScreen(back, [](int32_t, int32_t) { return kFaintPaper; });
  ExpectScreen(work, [](int32_t, int32_t) { return kFaintPaper; });
}

TEST_F(Effects, DarkeningTheControlBarStripBlackensExactlyIt) {
  Start();
  Fill(work, 0xFFFF);
  EXPECT_EQ(device->DarkenWorkRect(0, 450, 640, 30, 32), 1);
  ExpectScreen(work, [](int32_t, int32_t y) -> uint16_t { return y >= 450 ? 0 : 0xFFFF; });
  EXPECT_EQ(LockCount(work), 0);
}

TEST_F(Effects, DarkeningARectangleOffTheScreenChangesNothingAndSucceeds) {
  Start();
  EXPECT_EQ(device->DarkenWorkRect(-100, 0, 50, 480, 32), 1);
  EXPECT_EQ(device->DarkenWorkRect(0, -100, 640, 50, 32), 1);
  ExpectScreen(work, [](int32_t, int32_t) { return kFaintPaper; });
}

}  // namespace
}  // namespace kaze::test
