// The one display object: the DirectDraw surfaces, the 256 image slots, the
// picture being loaded and the analysis of the display's pixel format.
#pragma once

#include <windows.h>

#include <ddraw.h>

#include <cstdint>
#include <cstdio>

#include "image/image_slot.h"

class DisplayDevice {
 public:
  DisplayDevice();
  ~DisplayDevice();
  DisplayDevice(const DisplayDevice&) = delete;
  DisplayDevice& operator=(const DisplayDevice&) = delete;

  // Set-up and basic operations (display/).
  int Attach(HWND window, HINSTANCE instance, IDirectDraw* directDraw, IDirectDrawSurface* primarySurface,
             IDirectDrawSurface* backBufferSurface, IDirectDrawSurface* work, const RECT& client);
  void AnalysePixelFormat();
  HRESULT ClearBackBuffer();
  HRESULT ClearWorkSurface();
  int CopyWorkToBack();
  void Flip();
  void ReleaseSlot(int slot);
  int GetSlotRect(int slot, RECT* rect) const;

  // Pictures (image/): decoding and loading.
  int DecodeVImage(const char* path);
  int LoadImageSlot(int slot, const char* name, int32_t bltFlags, int32_t keyColour);
  IDirectDrawSurface* CreateImageSurface(const char* path);
  HBITMAP CreateBitmapFromVImage(const char* path);
  int CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap);

  // Drawing onto a target surface, the back buffer or the work surface
  // (image/): one device operation per scene-level call.
  int BltImage(IDirectDrawSurface* target, int slot, int x, int y);
  int BltImageTop(IDirectDrawSurface* target, int slot, int x, int y, int rows);
  int BltImageScaled(IDirectDrawSurface* target, int slot, int x, int y, int width, int height);
  int BltFillBlack(IDirectDrawSurface* target, int left, int top, int right, int bottom);
  int SetColourKey(IDirectDrawSurface* surface, COLORREF colour);

  // Pixel effects on locked surfaces (image/).
  int DrawDimmed(IDirectDrawSurface* target, int slot, int x, int y);
  int DrawBlended(IDirectDrawSurface* target, int slot, int x, int y, float alpha);
  int DarkenWorkRect(int x, int y, int width, int height, int level);

  HWND hwnd;
  HINSTANCE hinstance;
  IDirectDraw* ddraw;
  IDirectDrawSurface* primary;
  IDirectDrawSurface* backBuffer;
  IDirectDrawSurface* workSurface;
  ImageSlot slots[kSlotCount];
  std::FILE* imageFile;
  uint8_t* imageBuffer;    // malloc'd; released with std::free
  uint32_t imageSize = 0;  // bytes in imageBuffer: the decoded size
  uint32_t redMask, greenMask, blueMask;
  uint32_t halfMask;
  uint32_t redMax, greenMax, blueMax;
  int32_t redShift, greenShift, blueShift;
  int32_t clientLeft, clientRight, clientTop, clientBottom;
};
