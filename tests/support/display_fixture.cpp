#include "support/display_fixture.h"

#include "shell/shared_flags.h"

namespace kaze::test {

void DisplayTest::SetUp() {
  HeadlessTest::SetUp();
  StartHost();
}

void DisplayTest::TearDown() {
  TheDisplay.store(nullptr);
  device.reset();  // releases the slots' surfaces
  for (IDirectDrawSurface* surface : {work, back, primary})
    if (surface != nullptr) surface->Release();
  if (ddraw != nullptr) ddraw->Release();
  HeadlessTest::TearDown();
}

void DisplayTest::MakeDisplay(host::PixelLayout layout, bool install) {
  platform::TheSettings().displayLayout = layout;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "display-test";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  window = CreateWindowExA(0, "display-test", "", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
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
  ASSERT_NE(work, nullptr);
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  clipper->SetHWnd(0, window);
  for (IDirectDrawSurface* surface : {primary, back, work}) surface->SetClipper(clipper);
  clipper->Release();  // the surfaces hold it
  device = std::make_unique<DisplayDevice>();
  device->Attach(window, nullptr, ddraw, primary, back, work, RECT{0, 0, 640, 480});
  if (install) TheDisplay.store(device.get());
}

IDirectDrawSurface* DisplayTest::MakeOffscreen(int32_t width, int32_t height) {
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

}  // namespace kaze::test
