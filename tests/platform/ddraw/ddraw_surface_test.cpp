// DirectDraw surfaces of the stand-in: creation, blits with their checks and
// clipping, locks, loss and restore.
#include <gtest/gtest.h>
#include <ddraw.h>
#include <windows.h>

#include "platform/ddraw/ddraw_internal.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/faults.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class Surfaces : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    StartHost();
    ASSERT_EQ(DirectDrawCreate(nullptr, &ddraw, nullptr), DD_OK);
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  }
  void TearDown() override {
    for (IDirectDrawSurface* surface : made) surface->Release();
    if (ddraw != nullptr) ddraw->Release();
    HeadlessTest::TearDown();
  }
  IDirectDrawSurface* Make(DWORD width, DWORD height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = width;
    desc.dwHeight = height;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (surface != nullptr) made.push_back(surface);
    return surface;
  }
  static HRESULT Fill(IDirectDrawSurface* surface, RECT* rect, uint16_t colour) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }
  static uint16_t At(IDirectDrawSurface* surface, int x, int y) { return platform::StateOf(surface).pixels.Row(y)[x]; }

  IDirectDraw* ddraw = nullptr;
  std::vector<IDirectDrawSurface*> made;
};

TEST_F(Surfaces, RowsArePaddedToEightBytesAndDescribedByLock) {
  IDirectDrawSurface* surface = Make(33, 5);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(desc.lPitch, 72);  // 66 bytes of pixels, padded
  EXPECT_EQ(desc.dwWidth, 33u);
  EXPECT_EQ(desc.dwHeight, 5u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(desc.lpSurface, platform::StateOf(surface).pixels.pixels);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  RECT part{2, 3, 10, 5};
  ASSERT_EQ(surface->Lock(&part, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(desc.lpSurface, platform::StateOf(surface).pixels.Row(3) + 2);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  RECT outside{0, 0, 34, 5};
  EXPECT_EQ(surface->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  desc.dwSize = 0;
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(Surfaces, ColourFillsFillExactlyTheRectangle) {
  IDirectDrawSurface* surface = Make(16, 16);
  RECT rect{2, 3, 5, 7};
  ASSERT_EQ(Fill(surface, &rect, 0xABCD), DD_OK);
  EXPECT_EQ(At(surface, 2, 3), 0xABCD);
  EXPECT_EQ(At(surface, 4, 6), 0xABCD);
  EXPECT_EQ(At(surface, 5, 6), 0);
  EXPECT_EQ(At(surface, 4, 7), 0);
  EXPECT_EQ(At(surface, 1, 3), 0);
  ASSERT_EQ(Fill(surface, nullptr, 0x1111), DD_OK);
  EXPECT_EQ(At(surface, 15, 15), 0x1111);
}

TEST_F(Surfaces, BlitsRefuseWhatTheyCannotDo) {
  IDirectDrawSurface* surface = Make(16, 16);
  IDirectDrawSurface* source = Make(8, 8);
  RECT outside{10, 10, 20, 12};
  EXPECT_EQ(Fill(surface, &outside, 1), DDERR_INVALIDRECT);  // no clipper: must lie inside
  RECT backwards{5, 5, 2, 8};
  EXPECT_EQ(Fill(surface, &backwards, 1), DDERR_INVALIDRECT);
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, 0, nullptr), DDERR_INVALIDPARAMS);
  RECT bigSource{0, 0, 9, 8};
  EXPECT_EQ(surface->Blt(nullptr, source, &bigSource, 0, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(surface->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_NOCOLORKEY);

  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(source->Lock(nullptr, &desc, 0, nullptr), DD_OK);
  EXPECT_EQ(surface->Blt(nullptr, source, nullptr, 0, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(Fill(source, nullptr, 1), DDERR_SURFACEBUSY);
  source->Unlock(nullptr);

  platform::StateOf(source).lost.store(true);
  EXPECT_EQ(surface->Blt(nullptr, source, nullptr, 0, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(source->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(source->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(source->Restore(), DD_OK);
  EXPECT_EQ(source->IsLost(), DD_OK);
  EXPECT_EQ(surface->Blt(nullptr, source, nullptr, 0, nullptr), DD_OK);

  platform::InjectFault("IDirectDrawSurface::Blt", DDERR_WASSTILLDRAWING, 1);
  EXPECT_EQ(Fill(surface, nullptr, 1), DDERR_WASSTILLDRAWING);
  EXPECT_EQ(Fill(surface, nullptr, 1), DD_OK);
}

TEST_F(Surfaces, CopiesStretchAndHonourTheSourceColourKey) {
  IDirectDrawSurface* target = Make(8, 8);
  IDirectDrawSurface* source = Make(2, 2);
  platform::StateOf(source).pixels.Row(0)[0] = 0x0001;
  platform::StateOf(source).pixels.Row(0)[1] = 0x0002;
  platform::StateOf(source).pixels.Row(1)[0] = 0x0003;
  platform::StateOf(source).pixels.Row(1)[1] = 0xF81F;  // the key colour
  Fill(target, nullptr, 0x7777);
  RECT dest{0, 0, 4, 4};
  ASSERT_EQ(target->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(At(target, 1, 1), 0x0001);
  EXPECT_EQ(At(target, 2, 1), 0x0002);
  EXPECT_EQ(At(target, 1, 2), 0x0003);
  EXPECT_EQ(At(target, 3, 3), 0xF81F);
  EXPECT_EQ(At(target, 4, 4), 0x7777);

  DDCOLORKEY key{0xF81F, 0xF81F};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  RECT keyed{4, 4, 6, 6};
  ASSERT_EQ(target->Blt(&keyed, source, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(At(target, 4, 4), 0x0001);
  EXPECT_EQ(At(target, 5, 5), 0x7777);  // keyed out
}

TEST_F(Surfaces, ABlitOntoItselfMovesThePictureIntact) {
  IDirectDrawSurface* surface = Make(8, 1);
  for (int x = 0; x < 8; ++x) platform::StateOf(surface).pixels.Row(0)[x] = static_cast<uint16_t>(x + 1);
  RECT from{0, 0, 6, 1}, to{2, 0, 8, 1};
  ASSERT_EQ(surface->Blt(&to, surface, &from, 0, nullptr), DD_OK);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(At(surface, x, 0), x - 1) << x;
}

TEST_F(Surfaces, WithAClipperBlitsAreClippedToTheWindowInsteadOfRefused) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "clip-test";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "clip-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  IDirectDrawSurface* surface = Make(640, 480);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
  ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
  RECT partly{600, 450, 700, 520};
  ASSERT_EQ(Fill(surface, &partly, 0x2222), DD_OK);
  EXPECT_EQ(At(surface, 639, 479), 0x2222);
  EXPECT_EQ(At(surface, 599, 479), 0);
  RECT beyond{700, 0, 800, 10};
  EXPECT_EQ(Fill(surface, &beyond, 0x3333), DD_OK);  // nothing visible, nothing drawn
  // A picture that sticks out on the left is cut, not shifted.
  IDirectDrawSurface* picture = Make(4, 1);
  for (int x = 0; x < 4; ++x) platform::StateOf(picture).pixels.Row(0)[x] = static_cast<uint16_t>(10 + x);
  RECT left{-2, 0, 2, 1};
  ASSERT_EQ(surface->Blt(&left, picture, nullptr, 0, nullptr), DD_OK);
  EXPECT_EQ(At(surface, 0, 0), 12);
  EXPECT_EQ(At(surface, 1, 0), 13);
  EXPECT_EQ(clipper->Release(), 1u);  // the surface still holds it
}

TEST_F(Surfaces, ADisplaySwitchTakesTheWindowsSurfacesAndLeavesPictureSurfaces) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "lose-test";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "lose-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  IDirectDrawSurface* work = Make(640, 480);
  IDirectDrawSurface* picture = Make(640, 480);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  clipper->SetHWnd(0, window);
  work->SetClipper(clipper);
  clipper->Release();
  platform::LoseScreenSurfaces();
  EXPECT_EQ(work->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(picture->IsLost(), DD_OK);
  EXPECT_EQ(Fill(work, nullptr, 1), DDERR_SURFACELOST);
  EXPECT_EQ(work->Restore(), DD_OK);
  EXPECT_EQ(Fill(work, nullptr, 1), DD_OK);
}

TEST_F(Surfaces, TheFlipChainNeedsExclusiveModeAndFlipsOnlyFromThePrimary) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  IDirectDrawSurface* primary = nullptr;
  EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 16), DDERR_NOEXCLUSIVEMODE);
  IDirectDrawSurface* plain = Make(4, 4);
  EXPECT_EQ(plain->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* none = nullptr;
  EXPECT_EQ(plain->GetAttachedSurface(&caps, &none), DDERR_NOTFOUND);
}

TEST_F(Surfaces, OffscreenSurfacesTakeOnlyTheDisplaysFormat) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = desc.dwHeight = 4;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwRGBBitCount = 16;
  desc.ddpfPixelFormat.dwRBitMask = 0x7C00;
  desc.ddpfPixelFormat.dwGBitMask = 0x03E0;
  desc.ddpfPixelFormat.dwBBitMask = 0x001F;
  IDirectDrawSurface* surface = nullptr;
  EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT);
  desc.dwFlags &= ~DDSD_WIDTH;
  EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 100000;
  EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_TOOBIGWIDTH);
  EXPECT_EQ(surface, nullptr);
}

}  // namespace
}  // namespace kaze::test
