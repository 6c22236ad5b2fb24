// DirectDrawCreate, the DirectDraw object and the clipper.
#include <ddraw.h>
#include <windows.h>

#include <new>

#include "host/host.h"
#include "platform/ddraw/ddraw_internal.h"
#include "platform/setup/faults.h"
#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {

constexpr int32_t kMaxSurfaceSide = 8192;

}  // namespace

void DisplayMasks(PixelLayout layout, DWORD& red, DWORD& green, DWORD& blue) {
  if (layout == PixelLayout::Rgb555) {
    red = 0x7C00, green = 0x03E0, blue = 0x001F;
  } else {
    red = 0xF800, green = 0x07E0, blue = 0x001F;
  }
}

DirectDrawSurface* NewSurface(int32_t width, int32_t height, DWORD caps, const char* role) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  auto* surface = new (std::nothrow) DirectDrawSurface;
  if (surface == nullptr) return nullptr;
  // Rows are padded so that code which takes the pitch for width*2 shows.
  const int32_t pitch = (width * 2 + 7) / 8 * 8;
  try {
    surface->state.memory.assign(static_cast<size_t>(pitch / 2) * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    delete surface;
    return nullptr;
  }
  NoteSurfaceWrite();
  surface->state.caps = caps;
  surface->state.role = role;
  surface->state.pixels = PixelSurface{surface->state.memory.data(), width, height, pitch, TheSettings().displayLayout};
  RegisterSurface(surface);
  return surface;
}

void TraceRelease(const char* object, ULONG referencesLeft) {
  host::TheHost().Trace(
      "ddraw",
      {{"op", std::string_view("release")}, {"object", std::string_view(object)}, {"refs", int64_t{referencesLeft}}});
}

namespace {

HRESULT CreatePrimary(const DirectDraw& ddraw, const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* out) {
  const DWORD caps = desc.ddsCaps.dwCaps;
  const bool chain = (caps & DDSCAPS_FLIP) != 0;
  if (PrimaryExists()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
  if (chain && (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT))) return DDERR_INVALIDCAPS;
  if (chain && !ddraw.exclusive) return DDERR_NOEXCLUSIVEMODE;
  if (chain && desc.dwBackBufferCount != 1) return DDERR_UNSUPPORTED;  // one back buffer, as the program asks
  int32_t width = 0, height = 0;
  ScreenSize(width, height);
  DirectDrawSurface* primary = NewSurface(width, height, caps | DDSCAPS_FRONTBUFFER, "primary");
  if (primary == nullptr) return DDERR_OUTOFVIDEOMEMORY;
  if (chain) {
    DirectDrawSurface* back =
        NewSurface(width, height, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX, "backbuffer");
    if (back == nullptr) {
      DropReference(primary);
      return DDERR_OUTOFVIDEOMEMORY;
    }
    primary->state.backBuffer = back;  // the chain holds the back buffer's first reference
    back->state.frontBuffer = primary;
  }
  *out = primary;
  return DD_OK;
}

bool FormatIsDisplays(const DDPIXELFORMAT& format) {
  DWORD red = 0, green = 0, blue = 0;
  DisplayMasks(TheSettings().displayLayout, red, green, blue);
  return format.dwRGBBitCount == 16 && format.dwRBitMask == red && format.dwGBitMask == green &&
         format.dwBBitMask == blue;
}

HRESULT CreateOffscreen(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* out) {
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
  if (desc.dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
  if ((desc.dwFlags & DDSD_PIXELFORMAT) && !FormatIsDisplays(desc.ddpfPixelFormat)) return DDERR_INVALIDPIXELFORMAT;
  DWORD caps = desc.ddsCaps.dwCaps | DDSCAPS_OFFSCREENPLAIN;
  if (!(caps & DDSCAPS_VIDEOMEMORY)) caps |= DDSCAPS_SYSTEMMEMORY;
  DirectDrawSurface* surface =
      NewSurface(static_cast<int32_t>(desc.dwWidth), static_cast<int32_t>(desc.dwHeight), caps, "offscreen");
  if (surface == nullptr) return DDERR_OUTOFMEMORY;
  *out = surface;
  return DD_OK;
}

}  // namespace

}  // namespace kaze::platform

using namespace kaze::platform;

HRESULT DirectDrawCreate(GUID*, LPDIRECTDRAW* directDraw, IUnknown* outer) {
  if (directDraw == nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
  *directDraw = nullptr;
  if (auto fault = CheckFault("DirectDrawCreate")) return static_cast<HRESULT>(*fault);
  *directDraw = new (std::nothrow) DirectDraw;
  return *directDraw != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}

ULONG DirectDraw::AddRef() { return ++refCount; }

ULONG DirectDraw::Release() {
  ULONG left = --refCount;
  TraceRelease("directdraw", left);
  if (left == 0) {
    if (modeSet) RestoreDisplayMode();
    delete this;
  }
  return left;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND hwnd, DWORD flags) {
  if (auto fault = CheckFault("IDirectDraw::SetCooperativeLevel")) return static_cast<HRESULT>(*fault);
  const bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
  const bool wantsExclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  if (fullscreen != wantsExclusive) return DDERR_INVALIDPARAMS;  // one needs the other
  if (wantsExclusive && !IsLiveWindow(hwnd)) return DDERR_INVALIDPARAMS;
  levelSet = true;
  cooperativeWindow = hwnd;
  exclusive = wantsExclusive;
  return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  if (auto fault = CheckFault("IDirectDraw::SetDisplayMode")) return static_cast<HRESULT>(*fault);
  if (!exclusive) return DDERR_NOEXCLUSIVEMODE;
  if (width != 640 || height != 480 || bitsPerPixel != 16) return DDERR_INVALIDMODE;  // the one mode the screen has
  modeSet = true;
  kaze::host::TheHost().Trace(
      "ddraw", {{"op", std::string_view("set-mode")},
                {"width", int64_t{width}},
                {"height", int64_t{height}},
                {"bits", int64_t{bitsPerPixel}},
                {"format", std::string_view(TheSettings().displayLayout == PixelLayout::Rgb555 ? "5-5-5" : "5-6-5")}});
  SetScreenMode(static_cast<int32_t>(width), static_cast<int32_t>(height));
  // An exclusive full-screen window covers the new screen from its origin.
  PlaceWindow(cooperativeWindow, RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)});
  return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
  if (!modeSet) return DD_OK;
  modeSet = false;
  kaze::host::TheHost().Trace("ddraw", {{"op", std::string_view("restore-mode")}});
  SetScreenMode(0, 0);
  return DD_OK;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) {
  if (desc == nullptr || surface == nullptr || outer != nullptr || desc->dwSize != sizeof(DDSURFACEDESC))
    return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  if (auto fault = CheckFault("IDirectDraw::CreateSurface")) return static_cast<HRESULT>(*fault);
  if (!levelSet) return DDERR_NOCOOPERATIVELEVELSET;
  if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
  if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(*this, *desc, surface);
  return CreateOffscreen(*desc, surface);
}

HRESULT DirectDraw::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  if (clipper == nullptr || outer != nullptr || flags != 0) return DDERR_INVALIDPARAMS;
  *clipper = nullptr;
  if (auto fault = CheckFault("IDirectDraw::CreateClipper")) return static_cast<HRESULT>(*fault);
  *clipper = new (std::nothrow) DirectDrawClipper;
  return *clipper != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}

ULONG DirectDrawClipper::AddRef() { return ++refCount; }

ULONG DirectDrawClipper::Release() {
  TraceRelease("clipper", refCount - 1);
  return DropReference(this);
}

ULONG kaze::platform::DropReference(DirectDrawClipper* clipper) {
  ULONG left = --clipper->refCount;
  if (left == 0) delete clipper;
  return left;
}

HRESULT DirectDrawClipper::SetHWnd(DWORD flags, HWND hwnd) {
  if (auto fault = CheckFault("IDirectDrawClipper::SetHWnd")) return static_cast<HRESULT>(*fault);
  if (flags != 0 || (hwnd != nullptr && !IsLiveWindow(hwnd))) return DDERR_INVALIDPARAMS;
  window = hwnd;
  return DD_OK;
}
