// The picture draws, black fills and clears of the scenes: each one is a
// DirectDraw Blt onto the target that FadeState chooses. A keyed picture has
// its source colour key set from its top-left pixel (or a GDI colour) before
// every draw.
#include "image/drawing.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "display/display_device.h"
#include "shell/game_thread.h"
#include "shell/shared_flags.h"

int32_t FadeState = 0;

namespace {

// Edges of rectangles built from a position and a size; a sum beyond the
// 32-bit range stays at its end instead of wrapping.
LONG Edge(int32_t position, int32_t size) {
  const int64_t edge = int64_t{position} + size;
  return static_cast<LONG>(std::clamp<int64_t>(edge, INT32_MIN, INT32_MAX));
}

const ImageSlot* DrawableSlot(const DisplayDevice& device, int slot) {
  if (slot < 0 || slot >= kSlotCount) return nullptr;
  const ImageSlot& entry = device.slots[slot];
  return entry.loaded != 0 && entry.surface != nullptr ? &entry : nullptr;
}

// Steps 2 to 4 of every picture draw: the colour key, then one blit.
int BlitSlot(DisplayDevice& device, IDirectDrawSurface* target, const ImageSlot& entry, RECT destination, RECT source) {
  if (target == nullptr) return 0;
  if (entry.bltFlags == static_cast<int32_t>(DDBLT_KEYSRC))
    device.SetColourKey(entry.surface, static_cast<COLORREF>(entry.keyColour));
  const DWORD flags = static_cast<DWORD>(entry.bltFlags) | DDBLT_WAIT;
  return target->Blt(&destination, entry.surface, &source, flags, nullptr) == DD_OK ? 1 : 0;
}

// Reads the raw value of pixel (0, 0) from a locked surface: the first
// 32-bit word cut to the format's bit count, never reading past that pixel.
DWORD FirstPixelValue(const DDSURFACEDESC& desc) {
  DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
  if (bits == 0) bits = 16;  // every surface of this display is 16-bit
  DWORD value = 0;
  std::memcpy(&value, desc.lpSurface, std::min<DWORD>(bits, 32) / 8);
  return bits < 32 ? value & ((DWORD{1} << bits) - 1) : value;
}

// A lock that the blitter keeps refusing as busy is given up after this
// many immediate retries rather than spinning for ever.
constexpr int kLockRetries = 1000;

}  // namespace

int DisplayDevice::BltImage(IDirectDrawSurface* target, int slot, int x, int y) {
  const ImageSlot* entry = DrawableSlot(*this, slot);
  if (entry == nullptr) return 0;
  const RECT destination{x, y, Edge(x, entry->width), Edge(y, entry->height)};
  const RECT source{0, 0, entry->sourceRect.right, entry->sourceRect.bottom};
  return BlitSlot(*this, target, *entry, destination, source);
}

int DisplayDevice::BltImageTop(IDirectDrawSurface* target, int slot, int x, int y, int rows) {
  const ImageSlot* entry = DrawableSlot(*this, slot);
  if (entry == nullptr) return 0;
  const RECT destination{x, y, Edge(x, entry->width), Edge(y, rows)};
  const RECT source{0, 0, entry->sourceRect.right, rows};
  return BlitSlot(*this, target, *entry, destination, source);
}

int DisplayDevice::BltImageScaled(IDirectDrawSurface* target, int slot, int x, int y, int width, int height) {
  const ImageSlot* entry = DrawableSlot(*this, slot);
  if (entry == nullptr) return 0;
  const RECT destination{x, y, Edge(x, width), Edge(y, height)};
  const RECT source{0, 0, entry->sourceRect.right, entry->sourceRect.bottom};
  return BlitSlot(*this, target, *entry, destination, source);
}

int DisplayDevice::BltFillBlack(IDirectDrawSurface* target, int left, int top, int right, int bottom) {
  if (target == nullptr) return 0;
  RECT area{left, top, right, bottom};
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0;
  return target->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK ? 1 : 0;
}

// The source colour key of `surface`, made from a COLORREF. For a colour
// other than CLR_INVALID, GDI translates it: it is written into pixel (0, 0)
// for a moment and read back raw. CLR_INVALID keys the top-left pixel as it is.
int DisplayDevice::SetColourKey(IDirectDrawSurface* surface, COLORREF colour) {
  if (surface == nullptr) return 0;
  const bool translate = colour != CLR_INVALID;
  bool remembered = false;
  COLORREF savedPixel = 0;
  HDC dc = nullptr;
  if (translate && surface->GetDC(&dc) == DD_OK) {
    savedPixel = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, colour);
    surface->ReleaseDC(dc);
    remembered = true;
  }

  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  HRESULT locked = DDERR_WASSTILLDRAWING;
  for (int attempt = 0; attempt < kLockRetries && locked == DDERR_WASSTILLDRAWING; ++attempt)
    locked = surface->Lock(nullptr, &desc, 0, nullptr);
  DWORD key = CLR_INVALID;
  if (locked == DD_OK) {
    if (desc.lpSurface != nullptr) key = FirstPixelValue(desc);
    surface->Unlock(desc.lpSurface);
  }

  if (remembered && surface->GetDC(&dc) == DD_OK) {
    SetPixel(dc, 0, 0, savedPixel);
    surface->ReleaseDC(dc);
  }

  DDCOLORKEY range{key, key};
  return surface->SetColorKey(DDCKEY_SRCBLT, &range) == DD_OK ? 1 : 0;
}

IDirectDrawSurface* DrawTarget() {
  const DisplayDevice* device = TheDisplay.load();
  if (device == nullptr) return nullptr;
  return FadeState == 0 ? device->backBuffer : device->workSurface;
}

void DrawImage(int32_t slot, int32_t x, int32_t y) {
  if (DisplayDevice* device = TheDisplay.load()) device->BltImage(DrawTarget(), slot, x, y);
}

void DrawImageTop(int32_t slot, int32_t x, int32_t y, int32_t rows) {
  if (DisplayDevice* device = TheDisplay.load()) device->BltImageTop(DrawTarget(), slot, x, y, rows);
}

void DrawImageScaled(int32_t slot, int32_t x, int32_t y, int32_t width, int32_t height) {
  DisplayDevice* device = TheDisplay.load();
  if (device == nullptr) return;
  if (device->BltImageScaled(DrawTarget(), slot, x, y, width, height) == 0)
    device->BltImageScaled(DrawTarget(), slot, x, y, width, height);
}

void FillBlack(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (DisplayDevice* device = TheDisplay.load()) device->BltFillBlack(DrawTarget(), left, top, right, bottom);
}

void ClearScreen() {
  for (int pass = 0; pass < 2; ++pass) {
    if (DisplayDevice* device = TheDisplay.load()) {
      device->ClearWorkSurface();
      device->ClearBackBuffer();
    }
    PumpFrame();
    Sleep(0);
  }
}

void ReleaseAllImages() {
  DisplayDevice* device = TheDisplay.load();
  if (device == nullptr) return;
  for (int slot = 0; slot < kSlotCount - 1; ++slot) device->ReleaseSlot(slot);
}
