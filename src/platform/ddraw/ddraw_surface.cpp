// IDirectDrawSurface: plain pixel memory behind the COM face. Blits and fills
// go to the software blitter (blit.h); Flip exchanges the memory of the
// primary surface and its back buffer and shows the primary through the host.
// GetDC and ReleaseDC live with GDI.
#include <ddraw.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "host/host.h"
#include "platform/ddraw/blit.h"
#include "platform/ddraw/ddraw_internal.h"
#include "platform/setup/faults.h"
#include "platform/gdi32/gdi_objects.h"
#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {

RECT Bounds(const DirectDrawSurface& surface) {
  return RECT{0, 0, surface.state.pixels.width, surface.state.pixels.height};
}

bool Contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool IsBusy(const DirectDrawSurface& surface) { return surface.state.lockCount > 0 || surface.state.dc != nullptr; }

// Where a blit may write: with a clipper, the window's area on the screen
// within the surface; without one, the whole surface, and the destination
// rectangle must then lie inside it.
HRESULT DestinationClip(const DirectDrawSurface& target, const RECT& dest, RECT& clip) {
  if (target.state.clipper != nullptr && target.state.clipper->window != nullptr) {
    RECT window{};
    if (!WindowScreenRect(target.state.clipper->window, window)) return DDERR_INVALIDCLIPLIST;
    clip = Intersect(window, Bounds(target));
    return DD_OK;
  }
  if (!Contains(Bounds(target), dest)) return DDERR_INVALIDRECT;
  clip = Bounds(target);
  return DD_OK;
}

HRESULT SourceKey(const DirectDrawSurface& source, DWORD flags, const DDBLTFX* fx, uint16_t& key) {
  if (flags & DDBLT_KEYSRCOVERRIDE) {
    if (fx == nullptr) return DDERR_INVALIDPARAMS;
    key = static_cast<uint16_t>(fx->ddckSrcColorkey.dwColorSpaceLowValue);
    return DD_OK;
  }
  if (!source.state.hasSourceKey) return DDERR_NOCOLORKEY;
  key = static_cast<uint16_t>(source.state.sourceKey.dwColorSpaceLowValue);
  return DD_OK;
}

// A copy of the source rectangle, for a blit from a surface onto itself.
struct SourceCopy {
  std::vector<uint16_t> memory;
  PixelSurface pixels;
  RECT rect{};
};

SourceCopy CopyOf(const PixelSurface& source, const RECT& rect) {
  SourceCopy copy;
  const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
  copy.memory.resize(static_cast<size_t>(width) * height);
  copy.pixels = PixelSurface{copy.memory.data(), width, height, width * 2, source.layout};
  for (int32_t y = 0; y < height; ++y) std::copy_n(source.Row(rect.top + y) + rect.left, width, copy.pixels.Row(y));
  copy.rect = RECT{0, 0, width, height};
  return copy;
}

std::atomic<uint64_t> gSurfaceWrites{1};

void Present(const DirectDrawSurface& primary) {
  host::Frame frame;
  frame.writes = gSurfaceWrites.load();
  frame.pixels = primary.state.pixels.pixels;
  frame.pitch = primary.state.pixels.pitch;
  frame.layout = primary.state.pixels.layout;
  host::TheHost().PresentFrame(frame);
}

}  // namespace

uint64_t NoteSurfaceWrite() { return gSurfaceWrites.fetch_add(1) + 1; }
uint64_t SurfaceWrites() { return gSurfaceWrites.load(); }

}  // namespace kaze::platform

using namespace kaze::platform;

ULONG DirectDrawSurface::AddRef() { return ++state.refCount; }

ULONG DirectDrawSurface::Release() {
  TraceRelease(state.role, state.refCount - 1);
  return DropReference(this);
}

namespace kaze::platform {

// Release without a trace line, for references that the stand-in itself
// holds (the flip chain's on its back buffer).
ULONG DropReference(DirectDrawSurface* surface) {
  SurfaceState& state = surface->state;
  ULONG left = --state.refCount;
  if (left == 0) {
    UnregisterSurface(surface);
    // A GDI context left open on the surface would point at freed pixels.
    if (state.dc != nullptr) DeleteSurfaceDC(state.dc);
    if (state.clipper != nullptr) DropReference(state.clipper);
    if (state.backBuffer != nullptr) {
      state.backBuffer->state.frontBuffer = nullptr;
      DropReference(state.backBuffer);  // the chain's own reference
    }
    if (state.frontBuffer != nullptr) state.frontBuffer->state.backBuffer = nullptr;
    delete surface;
  }
  return left;
}

}  // namespace kaze::platform

HRESULT DirectDrawSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE sourceSurface, LPRECT sourceRect, DWORD flags,
                               LPDDBLTFX fx) {
  if (auto fault = CheckFault("IDirectDrawSurface::Blt")) return static_cast<HRESULT>(*fault);
  if (state.lost.load()) return DDERR_SURFACELOST;
  if (IsBusy(*this)) return DDERR_SURFACEBUSY;
  const RECT dest = destRect != nullptr ? *destRect : Bounds(*this);
  if (IsEmpty(dest)) return DDERR_INVALIDRECT;
  NoteSurfaceWrite();
  RECT clip{};
  if (HRESULT result = DestinationClip(*this, dest, clip); result != DD_OK) return result;

  if (flags & DDBLT_COLORFILL) {
    if (fx == nullptr || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
    FillRect(state.pixels, dest, clip, static_cast<uint16_t>(fx->dwFillColor));
    return DD_OK;
  }

  if (sourceSurface == nullptr) return DDERR_INVALIDPARAMS;
  DirectDrawSurface* source = StandIn(sourceSurface);
  if (source->state.lost.load()) return DDERR_SURFACELOST;
  if (source != this && IsBusy(*source)) return DDERR_SURFACEBUSY;
  const RECT from = sourceRect != nullptr ? *sourceRect : Bounds(*source);
  if (IsEmpty(from) || !Contains(Bounds(*source), from)) return DDERR_INVALIDRECT;
  uint16_t key = 0;
  const bool keyed = (flags & (DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE)) != 0;
  if (keyed) {
    if (HRESULT result = SourceKey(*source, flags, fx, key); result != DD_OK) return result;
  }
  if (source == this) {
    SourceCopy copy = CopyOf(source->state.pixels, from);
    StretchBlit(state.pixels, dest, clip, copy.pixels, copy.rect, keyed ? &key : nullptr);
  } else {
    StretchBlit(state.pixels, dest, clip, source->state.pixels, from, keyed ? &key : nullptr);
  }
  return DD_OK;
}

HRESULT DirectDrawSurface::Flip(LPDIRECTDRAWSURFACE targetOverride, DWORD) {
  DirectDrawSurface* back = state.backBuffer;
  if (back == nullptr || !(state.caps & DDSCAPS_FLIP)) return DDERR_NOTFLIPPABLE;
  if (targetOverride != nullptr && targetOverride != back) return DDERR_INVALIDPARAMS;
  if (auto fault = CheckFault("IDirectDrawSurface::Flip")) return static_cast<HRESULT>(*fault);
  if (state.lost.load() || back->state.lost.load()) return DDERR_SURFACELOST;
  if (IsBusy(*this) || IsBusy(*back)) return DDERR_SURFACEBUSY;
  // The two surfaces exchange their memory: the back buffer now holds the
  // frame that was shown before.
  std::swap(state.memory, back->state.memory);
  state.pixels.pixels = state.memory.data();
  back->state.pixels.pixels = back->state.memory.data();
  Present(*this);
  return DD_OK;
}

HRESULT DirectDrawSurface::GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* attached) {
  if (caps == nullptr || attached == nullptr) return DDERR_INVALIDPARAMS;
  *attached = nullptr;
  if (auto fault = CheckFault("IDirectDrawSurface::GetAttachedSurface")) return static_cast<HRESULT>(*fault);
  if (!(caps->dwCaps & DDSCAPS_BACKBUFFER) || state.backBuffer == nullptr) return DDERR_NOTFOUND;
  state.backBuffer->AddRef();
  *attached = state.backBuffer;
  return DD_OK;
}

HRESULT DirectDrawSurface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (format == nullptr || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
  if (auto fault = CheckFault("IDirectDrawSurface::GetPixelFormat")) return static_cast<HRESULT>(*fault);
  *format = DDPIXELFORMAT{};
  format->dwSize = sizeof(DDPIXELFORMAT);
  format->dwFlags = DDPF_RGB;
  format->dwRGBBitCount = 16;
  DisplayMasks(state.pixels.layout, format->dwRBitMask, format->dwGBitMask, format->dwBBitMask);
  return DD_OK;
}

HRESULT DirectDrawSurface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  *desc = DDSURFACEDESC{};
  desc->dwSize = sizeof(DDSURFACEDESC);
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(state.pixels.width);
  desc->dwHeight = static_cast<DWORD>(state.pixels.height);
  desc->lPitch = state.pixels.pitch;
  desc->ddsCaps.dwCaps = state.caps;
  if (state.backBuffer != nullptr) {
    desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc->dwBackBufferCount = 1;
  }
  desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  return GetPixelFormat(&desc->ddpfPixelFormat) == DD_OK ? DD_OK : DDERR_GENERIC;
}

HRESULT DirectDrawSurface::IsLost() { return state.lost.load() ? DDERR_SURFACELOST : DD_OK; }

HRESULT DirectDrawSurface::Restore() {
  if (auto fault = CheckFault("IDirectDrawSurface::Restore")) return static_cast<HRESULT>(*fault);
  // The memory comes back, the picture does not: the program redraws.
  state.lost.store(false);
  NoteSurfaceWrite();
  kaze::host::TheHost().Trace("surface",
                              {{"op", std::string_view("restore")}, {"surface", std::string_view(state.role)}});
  return DD_OK;
}

HRESULT DirectDrawSurface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD, HANDLE event) {
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC) || event != nullptr) return DDERR_INVALIDPARAMS;
  if (auto fault = CheckFault("IDirectDrawSurface::Lock")) return static_cast<HRESULT>(*fault);
  if (state.lost.load()) return DDERR_SURFACELOST;
  if (state.dc != nullptr) return DDERR_SURFACEBUSY;
  const RECT area = rect != nullptr ? *rect : Bounds(*this);
  if (IsEmpty(area) || !Contains(Bounds(*this), area)) return DDERR_INVALIDRECT;
  if (HRESULT result = GetSurfaceDesc(desc); result != DD_OK) return result;
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = state.pixels.Row(area.top) + area.left;
  ++state.lockCount;
  NoteSurfaceWrite();
  return DD_OK;
}

HRESULT DirectDrawSurface::Unlock(LPVOID) {
  if (state.lockCount == 0) return DDERR_NOTLOCKED;
  --state.lockCount;
  NoteSurfaceWrite();
  return DD_OK;
}

HRESULT DirectDrawSurface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
  if (auto fault = CheckFault("IDirectDrawSurface::SetClipper")) return static_cast<HRESULT>(*fault);
  if (clipper != nullptr) clipper->AddRef();
  if (state.clipper != nullptr) DropReference(state.clipper);
  state.clipper = StandIn(clipper);
  return DD_OK;
}

HRESULT DirectDrawSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (flags != DDCKEY_SRCBLT) return DDERR_UNSUPPORTED;  // the program keys its sources only
  state.hasSourceKey = key != nullptr;
  if (key != nullptr) state.sourceKey = *key;
  return DD_OK;
}
