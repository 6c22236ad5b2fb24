// The display as the program sets it up, on a headless host, for the
// benchmarks that measure scene-level calls: a window, DirectDraw in
// exclusive 640x480x16, the flip chain, the work surface, the window's
// clipper on all three, and a DisplayDevice in TheDisplay.
#pragma once

#include <ddraw.h>
#include <windows.h>

#include <memory>
#include <string>

#include "display/display_device.h"
#include "host/headless/headless_host.h"

class HeadlessDisplay {
 public:
  static constexpr int32_t kWidth = 640;
  static constexpr int32_t kHeight = 480;

  HeadlessDisplay() {
    std::string error;
    host_ = kaze::host::CreateHeadlessHost(kaze::host::HeadlessOptions{}, error);
    kaze::host::SetHost(host_.get());
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "bench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "bench", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    DirectDrawCreate(nullptr, &ddraw_, nullptr);
    ddraw_->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
    ddraw_->SetDisplayMode(kWidth, kHeight, 16);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    ddraw_->CreateSurface(&desc, &primary_, nullptr);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    primary_->GetAttachedSurface(&caps, &back_);
    work_ = Offscreen(kWidth, kHeight);
    IDirectDrawClipper* clipper = nullptr;
    ddraw_->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, window);
    for (IDirectDrawSurface* surface : {primary_, back_, work_}) surface->SetClipper(clipper);
    clipper->Release();
    device_ = std::make_unique<DisplayDevice>();
    device_->Attach(window, nullptr, ddraw_, primary_, back_, work_, RECT{0, 0, kWidth, kHeight});
    TheDisplay.store(device_.get());
  }
  ~HeadlessDisplay() {
    TheDisplay.store(nullptr);
    device_.reset();
    for (IDirectDrawSurface* surface : {work_, back_, primary_}) surface->Release();
    ddraw_->Release();
    host_->Finish(0);
    kaze::host::SetHost(nullptr);
  }
  HeadlessDisplay(const HeadlessDisplay&) = delete;
  HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

  DisplayDevice& Device() { return *device_; }
  kaze::host::HeadlessHost& Host() { return *host_; }
  IDirectDrawSurface* Back() { return back_; }
  IDirectDrawSurface* Work() { return work_; }

  // A surface in system memory, as the program's pictures are.
  IDirectDrawSurface* Offscreen(int32_t width, int32_t height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface* surface = nullptr;
    ddraw_->CreateSurface(&desc, &surface, nullptr);
    return surface;
  }

 private:
  std::unique_ptr<kaze::host::HeadlessHost> host_;
  IDirectDraw* ddraw_ = nullptr;
  IDirectDrawSurface* primary_ = nullptr;
  IDirectDrawSurface* back_ = nullptr;
  IDirectDrawSurface* work_ = nullptr;
  std::unique_ptr<DisplayDevice> device_;
};
