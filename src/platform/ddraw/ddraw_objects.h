// The stand-in's DirectDraw objects: the classes behind the SDK's abstract
// interfaces, holding what each object is underneath its COM face. Every
// interface pointer the stand-in hands out points at one of these, so the
// platform turns the engine's pointers back into them with StandIn().
#pragma once

#include <ddraw.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/ddraw/pixel_surface.h"

namespace kaze::platform {

class DirectDrawSurface;

class DirectDrawClipper final : public IDirectDrawClipper {
 public:
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetHWnd(DWORD flags, HWND hwnd) override;

  ULONG refCount = 1;
  HWND window = nullptr;  // blits are clipped to its area on the screen
};

// What a surface is underneath: its pixel memory and the bookkeeping of
// locks, contexts, keys and the flip chain.
struct SurfaceState {
  ULONG refCount = 1;
  DWORD caps = 0;
  std::vector<uint16_t> memory;   // rows of pixels.pitch bytes
  PixelSurface pixels;            // points into memory
  std::atomic<bool> lost{false};  // set by the host's loss, cleared by Restore (main thread)
  int lockCount = 0;
  DirectDrawClipper* clipper = nullptr;
  bool hasSourceKey = false;
  DDCOLORKEY sourceKey{};
  DirectDrawSurface* backBuffer = nullptr;   // the flip chain's back buffer (primary only)
  DirectDrawSurface* frontBuffer = nullptr;  // the primary (back buffer only)
  HDC dc = nullptr;                          // open GDI context, if any
  const char* role = "offscreen";            // "primary", "backbuffer" or "offscreen", for traces
};

class DirectDrawSurface final : public IDirectDrawSurface {
 public:
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE source, LPRECT sourceRect, DWORD flags, LPDDBLTFX fx) override;
  HRESULT Flip(LPDIRECTDRAWSURFACE targetOverride, DWORD flags) override;
  HRESULT GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* attached) override;
  HRESULT GetDC(HDC* dc) override;
  HRESULT ReleaseDC(HDC dc) override;
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override;
  HRESULT IsLost() override;
  HRESULT Restore() override;
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override;
  HRESULT Unlock(LPVOID surfaceData) override;
  HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;

  SurfaceState state;
};

class DirectDraw final : public IDirectDraw {
 public:
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override;
  HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;

  ULONG refCount = 1;
  bool levelSet = false;
  HWND cooperativeWindow = nullptr;
  bool exclusive = false;
  bool modeSet = false;
};

inline DirectDrawSurface* StandIn(IDirectDrawSurface* surface) { return static_cast<DirectDrawSurface*>(surface); }
inline const DirectDrawSurface* StandIn(const IDirectDrawSurface* surface) {
  return static_cast<const DirectDrawSurface*>(surface);
}
inline DirectDrawClipper* StandIn(IDirectDrawClipper* clipper) { return static_cast<DirectDrawClipper*>(clipper); }

// The state under a surface the engine holds, for the platform's other
// libraries and for the checks that look at pixels directly.
inline SurfaceState& StateOf(IDirectDrawSurface* surface) { return StandIn(surface)->state; }

}  // namespace kaze::platform
