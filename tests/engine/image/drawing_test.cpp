// The scene-level drawing calls through real stand-in surfaces: draw
// targets, colour keys, cut edges, the page zoom, fills and clears.
#include "support/drawing_fixture.h"

#include "platform/setup/faults.h"

namespace kaze::test {
namespace {

constexpr uint16_t kPaper = 0x1111;

class Drawing : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    MakeDisplay();
    Fill(back, kPaper);
    Fill(work, kPaper);
  }
};

// Each pixel of a numbered picture tells its column in the low byte and its
// row in the high byte (both below 256 in these tests), never 0.
uint16_t Numbered(int32_t x, int32_t y) { return static_cast<uint16_t>(((y & 0x7F) << 8) | (x & 0xFF) | 0x8000); }

TEST_F(Drawing, DrawsLandInTheBackBufferOnlyWhileNoFadeRuns) {
  PutPicture(0, 4, 4, Numbered);
  DrawImage(0, 10, 20);
  EXPECT_EQ(Pixel(back, 10, 20), Numbered(0, 0));
  EXPECT_EQ(Pixel(work, 10, 20), kPaper);

  for (int32_t state : {1, 3, 5, 6}) {
    Fill(back, kPaper);
    Fill(work, kPaper);
    FadeState = state;
    DrawImage(0, 10, 20);
    FillBlack(0, 0, 2, 2);
    EXPECT_EQ(Pixel(work, 13, 23), Numbered(3, 3)) << state;
    EXPECT_EQ(Pixel(work, 0, 0), 0) << state;
    EXPECT_EQ(Pixel(back, 13, 23), kPaper) << state;
    EXPECT_EQ(Pixel(back, 0, 0), kPaper) << state;
  }
}

TEST_F(Drawing, EmptyAndReleasedSlotsDrawNothing) {
  DrawImage(3, 0, 0);
  DrawImageTop(3, 0, 0, 10);
  DrawImageScaled(3, 0, 0, 640, 480);
  EXPECT_EQ(device->BltImage(back, 3, 0, 0), 0);
  PutPicture(3, 8, 8, Numbered);
  device->ReleaseSlot(3);
  DrawImage(3, 0, 0);
  ExpectScreen(back, [](int32_t, int32_t) { return kPaper; });
}

TEST_F(Drawing, KeyedPictureIsTransparentExactlyWhereItHoldsItsTopLeftValue) {
  constexpr uint16_t key = 0x07E0;
  auto sprite = [](int32_t x, int32_t y) { return (x + y) % 3 == 0 ? key : Numbered(x, y); };
  PutPicture(1, 12, 9, sprite, /*keyed=*/true);
  PutPicture(2, 12, 9, sprite);
  DrawImage(1, 100, 50);
  DrawImage(2, 300, 50);
  ExpectScreen(back, [&](int32_t x, int32_t y) -> uint16_t {
    if (x >= 100 && x < 112 && y >= 50 && y < 59)
      return sprite(x - 100, y - 50) == key ? kPaper : sprite(x - 100, y - 50);
    if (x >= 300 && x < 312 && y >= 50 && y < 59) return sprite(x - 300, y - 50);  // unkeyed: all of it
    return kPaper;
  });

  // The key is taken again at every draw, from the top-left pixel as it is then.
  Pixel(device->slots[1].surface, 0, 0) = Numbered(0, 0);
  Fill(back, kPaper);
  DrawImage(1, 100, 50);
  EXPECT_EQ(Pixel(back, 100, 50), kPaper);  // the new top-left value is the key now
  EXPECT_EQ(Pixel(back, 103, 50), key);     // and the old one shows
}

TEST_F(Drawing, AKeyColourOtherThanInvalidIsTranslatedByGdiAndThePictureKeptIntact) {
  const uint16_t red = 0xF800, topLeft = 0x1234;
  auto sprite = [&](int32_t x, int32_t y) -> uint16_t {
    if (x == 0 && y == 0) return topLeft;
    return x % 2 ? red : Numbered(x, y);
  };
  PutPicture(4, 6, 2, sprite, /*keyed=*/true);
  device->slots[4].keyColour = static_cast<int32_t>(RGB(255, 0, 0));
  DrawImage(4, 0, 0);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 6; ++x)
      EXPECT_EQ(Pixel(back, x, y), sprite(x, y) == red ? kPaper : sprite(x, y)) << x << "," << y;
  EXPECT_EQ(Pixel(device->slots[4].surface, 0, 0), topLeft);  // put back after the translation

  // Without a device context the colour is not translated: the top-left value keys.
  Fill(back, kPaper);
  platform::InjectFault("IDirectDrawSurface::GetDC", DDERR_CANTCREATEDC);
  DrawImage(4, 0, 0);
  platform::ClearFaults();
  EXPECT_EQ(Pixel(back, 0, 0), kPaper);
  EXPECT_EQ(Pixel(back, 1, 0), red);
}

TEST_F(Drawing, KeyStepRetriesABusyLockAndGivesUpOnOneThatStaysBusy) {
  const uint16_t key = 0x07E0;
  PutPicture(
      5, 2, 1, [&](int32_t x, int32_t) -> uint16_t { return x == 0 ? key : 0xFFFF; }, /*keyed=*/true);
  platform::InjectFault("IDirectDrawSurface::Lock", DDERR_WASSTILLDRAWING, 1);
  DrawImage(5, 0, 0);
  EXPECT_EQ(Pixel(back, 0, 0), kPaper);  // the second try read the key
  EXPECT_EQ(Pixel(back, 1, 0), 0xFFFF);

  // A lock that never succeeds leaves the key 0xFFFFFFFF: white is transparent.
  platform::ClearFaults();
  platform::InjectFault("IDirectDrawSurface::Lock", DDERR_WASSTILLDRAWING);
  Fill(back, kPaper);
  DrawImage(5, 0, 0);
  platform::ClearFaults();
  EXPECT_EQ(Pixel(back, 0, 0), key);
  EXPECT_EQ(Pixel(back, 1, 0), kPaper);
}

TEST_F(Drawing, PicturesAreCutAtEveryScreenEdge) {
  PutPicture(0, 40, 30, Numbered);
  struct Place {
    int32_t x, y;
  };
  for (const Place at :
       {Place{-10, 100}, Place{630, 100}, Place{200, -7}, Place{200, 470}, Place{-20, -20}, Place{620, 460}}) {
    for (int call = 0; call < 3; ++call) {
      Fill(back, kPaper);
      int32_t rows = 30;
      if (call == 0) DrawImage(0, at.x, at.y);
      if (call == 1) DrawImageTop(0, at.x, at.y, rows = 17);
      if (call == 2) DrawImageScaled(0, at.x, at.y, 40, 30);
      ExpectScreen(back, [&](int32_t x, int32_t y) -> uint16_t {
        const bool inside = x >= at.x && x < at.x + 40 && y >= at.y && y < at.y + rows;
        return inside ? Numbered(x - at.x, y - at.y) : kPaper;
      });
    }
  }
}

TEST_F(Drawing, TopRowsZeroDrawNothingAndAllRowsEqualTheWholePicture) {
  PutPicture(0, 50, 40, Numbered);
  DrawImageTop(0, 5, 5, 0);
  ExpectScreen(back, [](int32_t, int32_t) { return kPaper; });
  DrawImageTop(0, 5, 5, 40);
  ExpectScreen(back, [](int32_t x, int32_t y) {
    return x >= 5 && x < 55 && y >= 5 && y < 45 ? Numbered(x - 5, y - 5) : kPaper;
  });
}

TEST_F(Drawing, PageZoomShowsColumns240To399OfRows0To119AsFourByFourBlocks) {
  // Pixels tell their column (bits 0-9) and row modulo 64 (bits 10-15).
  auto page = [](int32_t x, int32_t y) { return static_cast<uint16_t>(((y & 63) << 10) | x); };
  PutPicture(10, 640, 480, page);
  DrawImageScaled(10, -960, 0, 2560, 1920);
  ExpectScreen(back, [&](int32_t x, int32_t y) { return page(240 + x / 4, y / 4); });
}

TEST_F(Drawing, ScaledDrawTriesOnceMoreAfterAFailedBlit) {
  PutPicture(0, 4, 4, Numbered);
  platform::InjectFault("IDirectDrawSurface::Blt", DDERR_SURFACELOST, 1);
  DrawImageScaled(0, 0, 0, 8, 8);
  EXPECT_EQ(Pixel(back, 7, 7), Numbered(3, 3));

  platform::InjectFault("IDirectDrawSurface::Blt", DDERR_SURFACELOST, 1);
  DrawImage(0, 20, 20);  // the plain draw gives up at once
  EXPECT_EQ(Pixel(back, 20, 20), kPaper);
}

TEST_F(Drawing, FillBlackCoversExactlyItsRectangleCutToTheScreen) {
  FillBlack(0, 450, 640, 480);
  ExpectScreen(back, [](int32_t, int32_t y) -> uint16_t { return y >= 450 ? 0 : kPaper; });
  Fill(back, kPaper);
  FillBlack(-50, -50, 10, 10);
  ExpectScreen(back, [](int32_t x, int32_t y) -> uint16_t { return x < 10 && y < 10 ? 0 : kPaper; });
}

TEST_F(Drawing, ClearScreenBlackensTheWorkSurfaceAndBothFlippedBuffers) {
  Fill(primary, kPaper);
  FadeState = 3;
  ClearScreen();
  for (IDirectDrawSurface* surface : {primary, back, work})
    ExpectScreen(surface, [](int32_t, int32_t) -> uint16_t { return 0; });
}

TEST_F(Drawing, ReleaseAllImagesEmptiesEverySlotButTheLast) {
  for (int slot : {0, 1, 100, 254, 255}) PutPicture(slot, 2, 2, Numbered);
  ReleaseAllImages();
  for (int slot = 0; slot < 255; ++slot) EXPECT_EQ(device->slots[slot].loaded, 0) << slot;
  EXPECT_EQ(device->slots[254].surface, nullptr);
  EXPECT_EQ(device->slots[255].loaded, 1);
  EXPECT_NE(device->slots[255].surface, nullptr);
}

}  // namespace
}  // namespace kaze::test
