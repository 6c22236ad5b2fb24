// The GDI stand-in: bitmaps made from DIBs in the display's format, memory
// and surface contexts, BitBlt, GetPixel and SetPixel, and handles that are
// stale or in use.
#include <ddraw.h>
#include "port_gdi.h"
#include <windows.h>

#include <gtest/gtest.h>

#include "support/dib_builder.h"
#include "support/headless_fixture.h"
#include "platform/setup/faults.h"
#include "platform/gdi32/gdi_objects.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/settings.h"

namespace {

using namespace dibtest;
using kaze::host::PixelLayout;
using kaze::platform::TheSettings;

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    baseBitmaps_ = kaze::platform::LiveBitmapCount();
    baseDCs_ = kaze::platform::LiveDCCount();
  }
  void TearDown() override {
    kaze::platform::ClearFaults();
    TheSettings().displayLayout = PixelLayout::Rgb565;
    EXPECT_EQ(kaze::platform::LiveBitmapCount(), baseBitmaps_) << "bitmaps leaked";
    EXPECT_EQ(kaze::platform::LiveDCCount(), baseDCs_) << "contexts leaked";
  }

 private:
  int baseBitmaps_ = 0;
  int baseDCs_ = 0;
};

// 2x1, 24 bits: red, then 12 34 56.
Bytes TwoPixelInfo() { return InfoHeader({.width = 2, .height = 1}); }
Bytes TwoPixelBits() { return {0x00, 0x00, 0xFF, 0x56, 0x34, 0x12, 0, 0}; }

HBITMAP MakeTwoPixelBitmap() {
  Bytes info = TwoPixelInfo();
  Bytes bits = TwoPixelBits();
  return PortCreateDIBitmap(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), info.size(), bits.data(),
                            bits.size(), DIB_RGB_COLORS);
}

// A surface of the stand-in's DirectDraw with its own pixel memory.
struct TestSurface {
  explicit TestSurface(int width, int height, PixelLayout layout = PixelLayout::Rgb565) {
    surface.state.memory.assign(size_t(width) * height, 0);
    surface.state.pixels = {surface.state.memory.data(), width, height, width * 2, layout};
  }
  uint16_t At(int x, int y) const { return surface.state.memory[size_t(y) * surface.state.pixels.width + x]; }
  kaze::platform::DirectDrawSurface surface;
};

TEST_F(GdiTest, BitmapTakesTheDisplayFormatAndDescribesItself) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    TheSettings().displayLayout = layout;
    HBITMAP bitmap = MakeTwoPixelBitmap();
    ASSERT_NE(bitmap, nullptr);
    BITMAP facts{};
    EXPECT_EQ(GetObject(bitmap, sizeof facts, &facts), int(sizeof facts));
    EXPECT_EQ(facts.bmWidth, 2);
    EXPECT_EQ(facts.bmHeight, 1);
    EXPECT_EQ(facts.bmBitsPixel, 16);
    EXPECT_EQ(facts.bmPlanes, 1);
    EXPECT_EQ(GetObject(bitmap, sizeof facts - 1, &facts), 0) << "too small a buffer";
    const std::vector<uint16_t> expected =
        layout == PixelLayout::Rgb565 ? std::vector<uint16_t>{0xF800, 0x11AA} : std::vector<uint16_t>{0x7C00, 0x08CA};
    EXPECT_EQ(bitmap->pixels, expected);
    EXPECT_TRUE(DeleteObject(bitmap));
  }
}

TEST_F(GdiTest, CheckedEntryKeepsToTheBuffersItIsGiven) {
  Bytes info = TwoPixelInfo();
  Bytes bits = TwoPixelBits();
  auto create = [&](size_t infoBytes, size_t bitsBytes, UINT usage = DIB_RGB_COLORS) {
    return PortCreateDIBitmap(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), infoBytes, bits.data(),
                              bitsBytes, usage);
  };
  EXPECT_EQ(create(info.size() - 1, bits.size()), nullptr);
  EXPECT_EQ(create(info.size(), bits.size() - 1), nullptr);
  EXPECT_EQ(create(info.size(), bits.size(), 1 /* DIB_PAL_COLORS */), nullptr);
  kaze::platform::InjectFault("CreateDIBitmap", 0);
  EXPECT_EQ(create(info.size(), bits.size()), nullptr);
}

TEST_F(GdiTest, WindowsEntryTrustsTheHeaderAndMakesBlankBitmapsWithoutInit) {
  Bytes info = TwoPixelInfo();
  Bytes bits = TwoPixelBits();
  auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
  auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
  HBITMAP initialised = CreateDIBitmap(nullptr, header, CBM_INIT, bits.data(), bitmapInfo, DIB_RGB_COLORS);
  ASSERT_NE(initialised, nullptr);
  EXPECT_EQ(initialised->pixels, (std::vector<uint16_t>{0xF800, 0x11AA}));
  HBITMAP blank = CreateDIBitmap(nullptr, header, 0, nullptr, nullptr, DIB_RGB_COLORS);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->pixels, (std::vector<uint16_t>{0, 0}));
  DeleteObject(initialised);
  DeleteObject(blank);
}

TEST_F(GdiTest, SelectedBitmapIsNotDeletedAndComesBackOnDeselect) {
  HBITMAP bitmap = MakeTwoPixelBitmap();
  HDC memory = CreateCompatibleDC(nullptr);
  ASSERT_NE(memory, nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  ASSERT_NE(previous, nullptr) << "a new context holds a stock bitmap";
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap lives in one context at a time";
  EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
  EXPECT_EQ(GetPixel(memory, 1, 0), RGB(0x10, 0x34, 0x52)) << "5-6-5 widened by repeating top bits";
  EXPECT_EQ(SelectObject(memory, previous), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap)) << "already gone";
  EXPECT_TRUE(DeleteDC(memory));
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_FALSE(DeleteDC(memory)) << "stale context";
  EXPECT_EQ(GetPixel(memory, 0, 0), CLR_INVALID);
  EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))) << "stock objects stay";
}

TEST_F(GdiTest, SetPixelStoresTheNearestColourAndGetPixelReadsItBack) {
  for (PixelLayout layout : {PixelLayout::Rgb565, PixelLayout::Rgb555}) {
    TestSurface target(4, 4, layout);
    HDC dc = nullptr;
    ASSERT_EQ(target.surface.GetDC(&dc), DD_OK);
    COLORREF stored = SetPixel(dc, 3, 2, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(target.At(3, 2), layout == PixelLayout::Rgb565 ? 0x11AA : 0x08CA);
    EXPECT_EQ(GetPixel(dc, 3, 2), stored);
    EXPECT_EQ(SetPixel(dc, 3, 2, stored), stored) << "a stored colour is stable";
    EXPECT_EQ(target.At(3, 2), layout == PixelLayout::Rgb565 ? 0x11AA : 0x08CA);
    EXPECT_EQ(GetPixel(dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, -1, 0, 0), COLORREF(-1));
    EXPECT_EQ(target.surface.ReleaseDC(dc), DD_OK);
  }
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID) << "the screen's context has no pixels here";
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST_F(GdiTest, BitBltCopiesTheOverlapOnlyAndConvertsFormats) {
  TheSettings().displayLayout = PixelLayout::Rgb565;
  HBITMAP bitmap = MakeTwoPixelBitmap();
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);

  TestSurface same(3, 2);
  HDC dc = nullptr;
  ASSERT_EQ(same.surface.GetDC(&dc), DD_OK);
  EXPECT_TRUE(BitBlt(dc, 2, 1, 10, 10, memory, 0, 0, SRCCOPY)) << "cut at the target's edge";
  EXPECT_EQ(same.At(2, 1), 0xF800);
  EXPECT_EQ(same.At(1, 1), 0);
  EXPECT_TRUE(BitBlt(dc, -1, 0, 2, 1, memory, 0, 0, SRCCOPY)) << "cut at the target's left";
  EXPECT_EQ(same.At(0, 0), 0x11AA);
  EXPECT_TRUE(BitBlt(dc, 0, 1, 2, 1, memory, -1, 0, SRCCOPY)) << "cut at the source's left";
  EXPECT_EQ(same.At(0, 1), 0);
  EXPECT_EQ(same.At(1, 1), 0xF800);
  EXPECT_FALSE(BitBlt(dc, 0, 0, 2, 1, memory, 0, 0, 0x00EE0086 /* SRCPAINT */));
  same.surface.ReleaseDC(dc);

  TestSurface other(2, 1, PixelLayout::Rgb555);
  ASSERT_EQ(other.surface.GetDC(&dc), DD_OK);
  EXPECT_TRUE(BitBlt(dc, 0, 0, 2, 1, memory, 0, 0, SRCCOPY));
  EXPECT_EQ(other.At(0, 0), 0x7C00);
  EXPECT_EQ(other.At(1, 0), 0x08CA);
  other.surface.ReleaseDC(dc);

  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

TEST_F(GdiTest, SurfaceContextIsOneAtATimeAndRefusedWhenLostLockedOrFaulted) {
  TestSurface target(2, 2);
  HDC first = nullptr, second = nullptr;
  ASSERT_EQ(target.surface.GetDC(&first), DD_OK);
  EXPECT_EQ(target.surface.GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(target.surface.ReleaseDC(nullptr), DDERR_NODC);
  EXPECT_EQ(target.surface.ReleaseDC(first), DD_OK);
  EXPECT_EQ(target.surface.ReleaseDC(first), DDERR_NODC) << "released twice";
  EXPECT_EQ(SetPixel(first, 0, 0, 0xFFFFFF), COLORREF(-1)) << "a released context draws nothing";
  EXPECT_EQ(target.At(0, 0), 0);

  target.surface.state.lockCount = 1;
  EXPECT_EQ(target.surface.GetDC(&first), DDERR_SURFACEBUSY);
  target.surface.state.lockCount = 0;
  target.surface.state.lost = true;
  EXPECT_EQ(target.surface.GetDC(&first), DDERR_SURFACELOST);
  target.surface.state.lost = false;
  kaze::platform::InjectFault("IDirectDrawSurface::GetDC", DDERR_CANTCREATEDC, 1);
  EXPECT_EQ(target.surface.GetDC(&first), DDERR_CANTCREATEDC);
  EXPECT_EQ(target.surface.GetDC(&first), DD_OK) << "only the first call fails";
  target.surface.ReleaseDC(first);
}

class SurfaceContextTest : public kaze::test::HeadlessTest {};

TEST_F(SurfaceContextTest, ReleasingASurfaceClosesAContextLeftOpenOnIt) {
  StartHost();
  const int contextsBefore = kaze::platform::LiveDCCount();
  auto* surface = new kaze::platform::DirectDrawSurface;
  surface->state.memory.assign(4, 0);
  surface->state.pixels = {surface->state.memory.data(), 2, 2, 4, PixelLayout::Rgb565};
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_EQ(surface->Release(), 0u);
  EXPECT_EQ(SetPixel(dc, 0, 0, 0xFFFFFF), COLORREF(-1)) << "the context must not reach the freed pixels";
  EXPECT_EQ(kaze::platform::LiveDCCount(), contextsBefore);
}

}  // namespace
