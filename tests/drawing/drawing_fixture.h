// A display as the set-up makes it (DirectDraw in exclusive mode, a flip
// chain, the work surface, an attached DisplayDevice in TheDisplay) on the
// headless host, with pictures put straight into slots as a load leaves
// them. Shared by the drawing and the pixel-effect tests.
#pragma once

#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "display/display_device.h"
#include "image/drawing.h"
#include "platform/settings.h"
#include "shell/shared_flags.h"
#include "support/headless_fixture.h"

namespace kaze::test {

class DrawingTest : public HeadlessTest {
 protected:
  using PixelAt = std::function<uint16_t(int32_t x, int32_t y)>;

  void SetUp() override {
    HeadlessTest::SetUp();
    StartHost();
    FadeState = 0;
  }

  void TearDown() override {
    TheDisplay.store(nullptr);
    device.reset();  // releases the slots' surfaces
    for (IDirectDrawSurface* surface : {work, back, primary})
      if (surface != nullptr) surface->Release();
    if (ddraw != nullptr) ddraw->Release();
    FadeState = 0;
    HeadlessTest::TearDown();
  }

  void MakeDisplay(platform::PixelLayout layout = platform::PixelLayout::Rgb565) {
    platform::TheSettings().displayLayout = layout;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "drawing-test";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "drawing-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(DirectDrawCreate(nullptr, &ddraw, nullptr), DD_OK);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 16), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    ASSERT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    work = MakeOffscreen(640, 480);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    clipper->SetHWnd(0, window);
    for (IDirectDrawSurface* surface : {primary, back, work}) surface->SetClipper(clipper);
    clipper->Release();  // the surfaces hold it
    device = std::make_unique<DisplayDevice>();
    device->Attach(window, nullptr, ddraw, primary, back, work, RECT{0, 0, 640, 480});
    TheDisplay.store(device.get());
  }

  IDirectDrawSurface* MakeOffscreen(int32_t width, int32_t height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
  }

  // Fills a slot as a successful load does, with the given pixels.
  void PutPicture(int slot, int32_t width, int32_t height, const PixelAt& pixel, bool keyed = false) {
    ImageSlot& entry = device->slots[slot];
    entry = ImageSlot{};
    entry.surface = MakeOffscreen(width, height);
    ASSERT_NE(entry.surface, nullptr);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) entry.surface->state.pixels.Row(y)[x] = pixel(x, y);
    entry.sourceRect = RECT{0, 0, width, height};
    entry.width = width;
    entry.height = height;
    entry.loaded = 1;
    entry.bltFlags = keyed ? static_cast<int32_t>(DDBLT_KEYSRC) : 0;
    entry.keyColour = -1;
  }

  static uint16_t& Pixel(IDirectDrawSurface* surface, int32_t x, int32_t y) {
    return surface->state.pixels.Row(y)[x];
  }

  static void Fill(IDirectDrawSurface* surface, uint16_t colour) {
    for (int32_t y = 0; y < surface->state.pixels.height; ++y)
      for (int32_t x = 0; x < surface->state.pixels.width; ++x) Pixel(surface, x, y) = colour;
  }

  // Checks every pixel of a 640x480 surface against `expected`.
  static void ExpectScreen(IDirectDrawSurface* surface, const PixelAt& expected) {
    for (int32_t y = 0; y < 480; ++y)
      for (int32_t x = 0; x < 640; ++x)
        ASSERT_EQ(Pixel(surface, x, y), expected(x, y)) << "pixel " << x << "," << y;
  }

  IDirectDraw* ddraw = nullptr;
  IDirectDrawSurface* primary = nullptr;
  IDirectDrawSurface* back = nullptr;
  IDirectDrawSurface* work = nullptr;
  std::unique_ptr<DisplayDevice> device;
};

}  // namespace kaze::test
