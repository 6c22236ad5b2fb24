// A display made as the program's set-up makes it, on the headless host: a
// popup window, DirectDraw in exclusive mode at 640x480x16, the flip chain,
// the 640x480 work surface, a clipper bound to the window on all three, and
// a DisplayDevice attached to them.
//
//   class MyTest : public kaze::test::DisplayTest {};
//   TEST_F(MyTest, ...) { MakeDisplay(); device->ClearBackBuffer(); ... }
#pragma once

#include <ddraw.h>
#include <windows.h>

#include <cstdint>
#include <memory>

#include "display/display_device.h"
#include "platform/setup/settings.h"
#include "support/headless_fixture.h"

namespace kaze::test {

class DisplayTest : public HeadlessTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the display in the given format; with `install` it also becomes
  // TheDisplay for the drawing calls.
  void MakeDisplay(host::PixelLayout layout = host::PixelLayout::Rgb565, bool install = false);
  // A system-memory surface of the display's format.
  IDirectDrawSurface* MakeOffscreen(int32_t width, int32_t height);

  HWND window = nullptr;
  IDirectDraw* ddraw = nullptr;
  IDirectDrawSurface* primary = nullptr;
  IDirectDrawSurface* back = nullptr;
  IDirectDrawSurface* work = nullptr;
  std::unique_ptr<DisplayDevice> device;
};

}  // namespace kaze::test
