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
#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/settings.h"
#include "shell/shared_flags.h"
#include "support/display_fixture.h"

namespace kaze::test {

class DrawingTest : public DisplayTest {
 protected:
  using PixelAt = std::function<uint16_t(int32_t x, int32_t y)>;

  void SetUp() override {
    DisplayTest::SetUp();
    FadeState = 0;
  }

  void TearDown() override {
    FadeState = 0;
    DisplayTest::TearDown();
  }

  // The display, installed as TheDisplay for the drawing calls.
  void MakeDisplay(host::PixelLayout layout = host::PixelLayout::Rgb565) {
    DisplayTest::MakeDisplay(layout, /*install=*/true);
  }

  // Fills a slot as a successful load does, with the given pixels.
  void PutPicture(int slot, int32_t width, int32_t height, const PixelAt& pixel, bool keyed = false) {
    ImageSlot& entry = device->slots[slot];
    entry = ImageSlot{};
    entry.surface = MakeOffscreen(width, height);
    ASSERT_NE(entry.surface, nullptr);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) platform::StateOf(entry.surface).pixels.Row(y)[x] = pixel(x, y);
    entry.sourceRect = RECT{0, 0, width, height};
    entry.width = width;
    entry.height = height;
    entry.loaded = 1;
    entry.bltFlags = keyed ? static_cast<int32_t>(DDBLT_KEYSRC) : 0;
    entry.keyColour = -1;
  }

  static uint16_t& Pixel(IDirectDrawSurface* surface, int32_t x, int32_t y) {
    return platform::StateOf(surface).pixels.Row(y)[x];
  }

  static void Fill(IDirectDrawSurface* surface, uint16_t colour) {
    for (int32_t y = 0; y < platform::StateOf(surface).pixels.height; ++y)
      for (int32_t x = 0; x < platform::StateOf(surface).pixels.width; ++x) Pixel(surface, x, y) = colour;
  }

  // Checks every pixel of a 640x480 surface against `expected`.
  static void ExpectScreen(IDirectDrawSurface* surface, const PixelAt& expected) {
    for (int32_t y = 0; y < 480; ++y)
      for (int32_t x = 0; x < 640; ++x) ASSERT_EQ(Pixel(surface, x, y), expected(x, y)) << "pixel " << x << "," << y;
  }
};

}  // namespace kaze::test
