// GDI's objects in the stand-in: bitmaps in the display's 16-bit format,
// device contexts (the screen, memory contexts, contexts over DirectDraw
// surfaces) and the stock objects. A handle is the object's address; every
// call looks its handle up among the live objects first, so a stale or
// foreign handle makes the call fail instead of touching freed memory.
#pragma once

#include <ddraw.h>
#include <wingdi.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ddraw/pixel_surface.h"

struct HBITMAP__ {
  int32_t width = 0;
  int32_t height = 0;
  kaze::platform::PixelLayout layout = kaze::platform::PixelLayout::Rgb565;
  std::vector<uint16_t> pixels;  // top-down rows of `width` pixels
  HDC selectedInto = nullptr;    // the memory context that holds it, if any
  bool stock = false;            // the 1x1 bitmap of a new memory context

  kaze::platform::PixelSurface View() { return {pixels.data(), width, height, width * 2, layout}; }
};

struct HDC__ {
  enum class Kind : uint8_t { Screen, Memory, Surface };
  Kind kind = Kind::Screen;
  HBITMAP bitmap = nullptr;               // Memory: the selected bitmap
  IDirectDrawSurface* surface = nullptr;  // Surface: the surface drawn on
};

namespace kaze::platform {

// A new bitmap of the given size, black or with the given top-down pixels;
// registered as live.
HBITMAP NewBitmap(int32_t width, int32_t height, PixelLayout layout, std::vector<uint16_t> pixels = {});

// A context over a surface's pixels, for IDirectDrawSurface::GetDC, and its
// end, for ReleaseDC.
HDC NewSurfaceDC(IDirectDrawSurface* surface);
void DeleteSurfaceDC(HDC dc);

// The pixels a context draws on: the selected bitmap of a memory context or
// the surface of a surface context; nothing for the screen's context.
std::optional<PixelSurface> ContextPixels(HDC dc);

// True when `handle` is a live object of that kind.
bool IsLiveBitmap(HGDIOBJ handle);
bool IsLiveDC(HDC dc);

// How many bitmaps and contexts are alive (for tests that look for leaks);
// stock objects are not counted.
int LiveBitmapCount();
int LiveDCCount();

}  // namespace kaze::platform
