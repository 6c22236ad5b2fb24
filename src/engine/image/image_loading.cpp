#include "image/image_loading.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/display_device.h"
#include "port_gdi.h"

namespace {

constexpr char kPathFormat[] = "Data\\%s";
constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kPixelOffsetField = 10;

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void ShowLoadFailure(HWND owner, const char* path) {
  std::string text(sizeof kImageLoadFailedFormat + std::strlen(path), '\0');
  std::snprintf(text.data(), text.size(), kImageLoadFailedFormat, path);
  text.resize(std::strlen(text.c_str()));
  MessageBoxA(owner, text.c_str(), "ERROR", MB_OK);
}

// The bitmap of the BMP file image in `image`: the info header at byte 14,
// the pixel data at the offset that the file header holds at byte 10. The
// image's own length bounds every part, whatever its headers claim.
HBITMAP BitmapFromBmpImage(const uint8_t* image, size_t size) {
  if (size < kBmpFileHeaderBytes) return nullptr;
  const uint32_t pixelOffset = Le32(image + kPixelOffsetField);
  if (pixelOffset > size) return nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      PortCreateDIBitmap(screen, reinterpret_cast<const BITMAPINFO*>(image + kBmpFileHeaderBytes),
                         size - kBmpFileHeaderBytes, image + pixelOffset, size - pixelOffset, DIB_RGB_COLORS);
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

// A name that does not fit the slot's path is refused like a missing file:
// the box names the whole path, and the slot stays empty.
int DisplayDevice::LoadImageSlot(int slot, const char* name, int32_t bltFlags, int32_t keyColour) {
  if (slot < 0 || slot >= kSlotCount || name == nullptr) return 0;
  ImageSlot& entry = slots[slot];
  if (entry.loaded) return 0;

  const int length = std::snprintf(entry.path, sizeof entry.path, kPathFormat, name);
  if (length < 0 || static_cast<size_t>(length) >= sizeof entry.path) {
    entry.path[0] = '\0';
    ShowLoadFailure(hwnd, (std::string("Data\\") + name).c_str());
    return 0;
  }

  entry.surface = CreateImageSurface(entry.path);
  if (entry.surface == nullptr) return 0;

  if (bltFlags == static_cast<int32_t>(DDBLT_KEYSRC)) {
    entry.bltFlags = bltFlags;
    entry.keyColour = keyColour;
  } else {
    entry.bltFlags = 0;
    entry.keyColour = -1;
  }

  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
  entry.surface->GetSurfaceDesc(&description);
  entry.width = static_cast<int32_t>(description.dwWidth);
  entry.height = static_cast<int32_t>(description.dwHeight);
  entry.sourceRect = RECT{0, 0, entry.width, entry.height};
  entry.originX = 0;
  entry.originY = 0;
  entry.loaded = 1;
  return 1;
}

IDirectDrawSurface* DisplayDevice::CreateImageSurface(const char* path) {
  HBITMAP bitmap = CreateBitmapFromVImage(path);
  if (bitmap == nullptr) {
    ShowLoadFailure(hwnd, path);
    return nullptr;
  }

  BITMAP facts{};
  GetObject(bitmap, sizeof facts, &facts);

  DDSURFACEDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  description.dwWidth = static_cast<DWORD>(facts.bmWidth);
  description.dwHeight = static_cast<DWORD>(facts.bmHeight);
  IDirectDrawSurface* surface = nullptr;
  if (ddraw == nullptr || ddraw->CreateSurface(&description, &surface, nullptr) != DD_OK || surface == nullptr) {
    DeleteObject(bitmap);
    return nullptr;
  }

  if (facts.bmBitsPixel <= 8) {
    surface->Release();
    DeleteObject(bitmap);
    return nullptr;
  }

  CopyBitmapToSurface(surface, bitmap);
  DeleteObject(bitmap);
  return surface;
}

// The decoded image is freed here whether or not the bitmap could be made.
HBITMAP DisplayDevice::CreateBitmapFromVImage(const char* path) {
  if (!DecodeVImage(path)) return nullptr;
  HBITMAP bitmap = BitmapFromBmpImage(imageBuffer, imageSize);
  std::free(imageBuffer);
  imageBuffer = nullptr;
  imageSize = 0;
  return bitmap;
}

int DisplayDevice::CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap) {
  BITMAP facts{};
  GetObject(bitmap, sizeof facts, &facts);

  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);

  HDC target = nullptr;
  const bool gotContext = surface->GetDC(&target) == DD_OK;
  if (gotContext) {
    BitBlt(target, 0, 0, facts.bmWidth, facts.bmHeight, memory, 0, 0, SRCCOPY);
    surface->ReleaseDC(target);
  }

  SelectObject(memory, previous);
  DeleteDC(memory);
  return gotContext ? 1 : 0;
}
