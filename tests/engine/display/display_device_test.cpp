// The DisplayDevice's own operations over stand-in surfaces.
#include <gtest/gtest.h>
#include <ddraw.h>
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "display/display_device.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/faults.h"
#include "platform/setup/settings.h"
#include "support/display_fixture.h"

namespace kaze::test {
namespace {

class Device : public DisplayTest {
 protected:
  uint16_t Pixel(IDirectDrawSurface* surface, int x, int y) { return platform::StateOf(surface).pixels.Row(y)[x]; }
};

TEST_F(Device, AnalysesTheFiveSixFiveFormat) {
  MakeDisplay();
  EXPECT_EQ(device->redMask, 0xF800u);
  EXPECT_EQ(device->greenMask, 0x07E0u);
  EXPECT_EQ(device->blueMask, 0x001Fu);
  EXPECT_EQ(device->redMax, 31u);
  EXPECT_EQ(device->greenMax, 31u);
  EXPECT_EQ(device->blueMax, 31u);
  EXPECT_EQ(device->redShift, 11);
  EXPECT_EQ(device->greenShift, 6);  // the 6-bit green is taken as its top 5 bits
  EXPECT_EQ(device->blueShift, 0);
  EXPECT_EQ(device->halfMask, 0x7BCFu);
  EXPECT_EQ(device->clientRight, 640);
  EXPECT_EQ(device->clientBottom, 480);
}

TEST_F(Device, AnalysesTheFiveFiveFiveFormat) {
  MakeDisplay(host::PixelLayout::Rgb555);
  EXPECT_EQ(device->redMask, 0x7C00u);
  EXPECT_EQ(device->greenMask, 0x03E0u);
  EXPECT_EQ(device->redShift, 10);
  EXPECT_EQ(device->greenShift, 5);
  EXPECT_EQ(device->halfMask, 0x3DEFu);
}

TEST_F(Device, AFailedFormatQueryLeavesTheFieldsZero) {
  MakeDisplay();
  auto fresh = std::make_unique<DisplayDevice>();
  platform::InjectFault("IDirectDrawSurface::GetPixelFormat", DDERR_SURFACELOST);
  fresh->Attach(window, nullptr, ddraw, primary, back, work, RECT{0, 0, 640, 480});
  EXPECT_EQ(fresh->redMask, 0u);
  EXPECT_EQ(fresh->halfMask, 0u);
  EXPECT_EQ(fresh->clientRight, 640);
  for (const ImageSlot& slot : fresh->slots) EXPECT_EQ(slot.surface, nullptr);
}

TEST_F(Device, FlipShowsTheBackBufferAndHandsBackTheFrameShownBefore) {
  MakeDisplay();
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = 0x1234;
  ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  device->Flip();
  EXPECT_EQ(Pixel(primary, 639, 479), 0x1234);
  EXPECT_EQ(Pixel(back, 0, 0), 0x0000);  // the frame shown before the flip
  device->Flip();
  EXPECT_EQ(Pixel(primary, 0, 0), 0x0000);
  EXPECT_EQ(Pixel(back, 5, 5), 0x1234);
  EXPECT_EQ(host().Flips(), 2);
}

TEST_F(Device, ClearsAndCopiesTheWorkSurfaceToTheBackBuffer) {
  MakeDisplay();
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = 0xFFFF;
  back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  work->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  EXPECT_EQ(device->ClearWorkSurface(), DD_OK);
  EXPECT_EQ(Pixel(work, 320, 240), 0);
  EXPECT_EQ(Pixel(back, 320, 240), 0xFFFF);
  RECT spot{10, 10, 20, 20};
  fx.dwFillColor = 0x0F0F;
  work->Blt(&spot, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  EXPECT_EQ(device->CopyWorkToBack(), 1);
  EXPECT_EQ(Pixel(back, 15, 15), 0x0F0F);
  EXPECT_EQ(Pixel(back, 320, 240), 0);
  EXPECT_EQ(device->ClearBackBuffer(), DD_OK);
  EXPECT_EQ(Pixel(back, 15, 15), 0);
  platform::StateOf(work).lost.store(true);
  EXPECT_EQ(device->CopyWorkToBack(), 0);
}

TEST_F(Device, ReleasingSlotsReleasesTheirSurfacesAndClearsThem) {
  MakeDisplay();
  IDirectDrawSurface* kept = MakeOffscreen(8, 8);
  kept->AddRef();  // so the test can see the device's Release
  device->slots[7].surface = kept;
  device->slots[7].loaded = 1;
  device->slots[7].width = 8;
  device->ReleaseSlot(7);
  EXPECT_EQ(device->slots[7].surface, nullptr);
  EXPECT_EQ(device->slots[7].loaded, 0);
  EXPECT_EQ(device->slots[7].width, 0);
  EXPECT_EQ(kept->Release(), 0u);  // the device gave up its reference
  device->slots[8].loaded = 1;
  device->ReleaseSlot(8);  // an empty slot: cleared, nothing released
  EXPECT_EQ(device->slots[8].loaded, 0);
}

TEST_F(Device, DestroyingTheDeviceReleasesEverySlotAndTheImageBuffer) {
  MakeDisplay();
  IDirectDrawSurface* first = MakeOffscreen(4, 4);
  IDirectDrawSurface* last = MakeOffscreen(4, 4);
  first->AddRef();
  last->AddRef();
  device->slots[0].surface = first;
  device->slots[255].surface = last;
  device->imageBuffer = static_cast<uint8_t*>(std::malloc(64));
  device.reset();
  EXPECT_EQ(first->Release(), 0u);
  EXPECT_EQ(last->Release(), 0u);
}

}  // namespace
}  // namespace kaze::test
