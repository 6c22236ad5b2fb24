// DirectDraw, first interface set: the object, surfaces and the clipper.
// The interfaces are concrete classes here; underneath each surface's COM
// face is plain pixel memory (PixelSurface) that the platform's software
// blitter works on.
#pragma once

#include <cstdint>
#include <vector>

#include "pixel_surface.h"
#include "windef.h"

struct IDirectDraw;
struct IDirectDrawSurface;
struct IDirectDrawClipper;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
struct IDirectDrawPalette;
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

typedef struct _DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS {
  DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

typedef struct _DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

typedef struct _DDSURFACEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  DWORD dwRefreshRate;
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
} DDSURFACEDESC, *LPDDSURFACEDESC;

// The members up to the fill colour and the two keys, all 32-bit wide as on
// 32-bit Windows (100 bytes).
typedef struct _DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwROP;
  DWORD dwDDROP;
  DWORD dwRotationAngle;
  DWORD dwZBufferOpCode;
  DWORD dwZBufferLow;
  DWORD dwZBufferHigh;
  DWORD dwZBufferBaseDest;
  DWORD dwZDestConstBitDepth;
  DWORD dwZDestConst;
  DWORD dwZSrcConstBitDepth;
  DWORD dwZSrcConst;
  DWORD dwAlphaEdgeBlendBitDepth;
  DWORD dwAlphaEdgeBlend;
  DWORD dwReserved;
  DWORD dwAlphaDestConstBitDepth;
  DWORD dwAlphaDestConst;
  DWORD dwAlphaSrcConstBitDepth;
  DWORD dwAlphaSrcConst;
  DWORD dwFillColor;
  DDCOLORKEY ddckDestColorkey;
  DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

// Surface description flags
#define DDSD_CAPS 0x00000001u
#define DDSD_HEIGHT 0x00000002u
#define DDSD_WIDTH 0x00000004u
#define DDSD_PITCH 0x00000008u
#define DDSD_BACKBUFFERCOUNT 0x00000020u
#define DDSD_LPSURFACE 0x00000800u
#define DDSD_PIXELFORMAT 0x00001000u

// Capabilities
#define DDSCAPS_BACKBUFFER 0x00000004u
#define DDSCAPS_COMPLEX 0x00000008u
#define DDSCAPS_FLIP 0x00000010u
#define DDSCAPS_FRONTBUFFER 0x00000020u
#define DDSCAPS_OFFSCREENPLAIN 0x00000040u
#define DDSCAPS_PRIMARYSURFACE 0x00000200u
#define DDSCAPS_SYSTEMMEMORY 0x00000800u
#define DDSCAPS_VIDEOMEMORY 0x00004000u

// Pixel format flags
#define DDPF_RGB 0x00000040u

// Cooperative level
#define DDSCL_FULLSCREEN 0x00000001u
#define DDSCL_EXCLUSIVE 0x00000010u
#define DDSCL_NORMAL 0x00000008u

// Blits
#define DDBLT_COLORFILL 0x00000400u
#define DDBLT_KEYSRC 0x00008000u
#define DDBLT_WAIT 0x01000000u
#define DDBLT_KEYSRCOVERRIDE 0x00010000u

// Locks, flips, keys
#define DDLOCK_WAIT 0x00000001u
#define DDLOCK_SURFACEMEMORYPTR 0x00000000u
#define DDFLIP_WAIT 0x00000001u
#define DDCKEY_SRCBLT 0x00000008u

// Results (the full name table lives with the error reporting)
#define DD_OK ((HRESULT)0)
#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000u | (code)))
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDMODE MAKE_DDHRESULT(80)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_CANTLOCKSURFACE MAKE_DDHRESULT(435)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_UNSUPPORTEDFORMAT MAKE_DDHRESULT(510)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_CANTCREATEDC MAKE_DDHRESULT(585)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)

namespace kaze::platform {

// The stand-in's own state of a surface, underneath its COM face.
struct SurfaceState {
  ULONG refCount = 1;
  DWORD caps = 0;
  std::vector<uint16_t> memory;  // rows of pixels.pitch bytes
  PixelSurface pixels;           // points into memory
  bool lost = false;
  int lockCount = 0;
  IDirectDrawClipper* clipper = nullptr;
  bool hasSourceKey = false;
  DDCOLORKEY sourceKey{};
  IDirectDrawSurface* backBuffer = nullptr;  // the flip chain's back buffer (primary only)
  IDirectDrawSurface* frontBuffer = nullptr; // the primary (back buffer only)
  HDC dc = nullptr;                           // open GDI context, if any
};

struct ClipperState {
  ULONG refCount = 1;
  HWND hwnd = nullptr;
};

}  // namespace kaze::platform

struct IDirectDrawClipper {
  ULONG AddRef();
  ULONG Release();
  HRESULT SetHWnd(DWORD flags, HWND hwnd);

  kaze::platform::ClipperState state;
};

struct IDirectDrawSurface {
  ULONG AddRef();
  ULONG Release();
  HRESULT Blt(LPRECT destRect, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags, LPDDBLTFX fx);
  HRESULT Flip(IDirectDrawSurface* targetOverride, DWORD flags);
  HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached);
  HRESULT GetDC(HDC* dc);
  HRESULT ReleaseDC(HDC dc);
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format);
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc);
  HRESULT IsLost();
  HRESULT Restore();
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event);
  HRESULT Unlock(LPVOID surfaceData);
  HRESULT SetClipper(IDirectDrawClipper* clipper);
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key);

  kaze::platform::SurfaceState state;
};

struct IDirectDraw {
  ULONG AddRef();
  ULONG Release();
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags);
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
  HRESULT RestoreDisplayMode();
  HRESULT CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer);
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer);

  ULONG refCount = 1;
  HWND cooperativeWindow = nullptr;
  bool exclusive = false;
  bool modeSet = false;
};

HRESULT DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer);
