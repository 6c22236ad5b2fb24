// The DisplayDevice's own operations: construction, attaching the display,
// the pixel-format analysis, clears, the work-to-back copy, the flip,
// releasing a slot and a slot's rectangle. Loading, drawing and effects live
// with the images.
#include "display/display_device.h"

#include <cstdlib>
#include <cstring>

DisplayDevice::DisplayDevice()
    : hwnd(nullptr),
      hinstance(nullptr),
      ddraw(nullptr),
      primary(nullptr),
      backBuffer(nullptr),
      workSurface(nullptr),
      slots{},
      imageFile(nullptr),
      imageBuffer(nullptr),
      redMask(0),
      greenMask(0),
      blueMask(0),
      halfMask(0),
      redMax(0),
      greenMax(0),
      blueMax(0),
      redShift(0),
      greenShift(0),
      blueShift(0),
      clientLeft(0),
      clientRight(0),
      clientTop(0),
      clientBottom(0) {}

DisplayDevice::~DisplayDevice() {
  if (imageBuffer != nullptr) {
    std::free(imageBuffer);
    imageBuffer = nullptr;
  }
  for (int slot = 0; slot < kSlotCount; ++slot) ReleaseSlot(slot);
}

int DisplayDevice::Attach(HWND window, HINSTANCE instance, IDirectDraw* directDraw, IDirectDrawSurface* primarySurface,
                          IDirectDrawSurface* backBufferSurface, IDirectDrawSurface* work, const RECT& client) {
  hwnd = window;
  hinstance = instance;
  ddraw = directDraw;
  primary = primarySurface;
  backBuffer = backBufferSurface;
  workSurface = work;
  clientLeft = client.left;
  clientRight = client.right;
  clientTop = client.top;
  clientBottom = client.bottom;
  AnalysePixelFormat();
  return 1;
}

namespace {

// A channel's maximum and bit position from its mask; a 6-bit channel is
// counted as its top 5 bits.
void AnalyseChannel(uint32_t mask, uint32_t& max, int32_t& shift) {
  uint32_t value = mask;
  shift = 0;
  while (value != 0 && (value & 1) == 0) {
    value >>= 1;
    ++shift;
  }
  if (value == 63) {
    value = 31;
    ++shift;
  }
  max = value;
}

}  // namespace

void DisplayDevice::AnalysePixelFormat() {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  if (backBuffer == nullptr || backBuffer->GetPixelFormat(&format) != DD_OK) return;
  // A zero mask would never end the shift loop; every 16-bit RGB mode has
  // three nonzero masks, and the loop above stops on zero to be safe.
  AnalyseChannel(format.dwRBitMask, redMax, redShift);
  AnalyseChannel(format.dwGBitMask, greenMax, greenShift);
  AnalyseChannel(format.dwBBitMask, blueMax, blueShift);
  redMask = format.dwRBitMask;
  greenMask = format.dwGBitMask;
  blueMask = format.dwBBitMask;
  halfMask = ((greenMax >> 1) << greenShift) | ((redMax >> 1) << redShift) | ((blueMax >> 1) << blueShift);
}

namespace {

HRESULT FillBlack(IDirectDrawSurface* surface) {
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = 0;
  return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

}  // namespace

HRESULT DisplayDevice::ClearBackBuffer() { return backBuffer != nullptr ? FillBlack(backBuffer) : DDERR_INVALIDOBJECT; }

HRESULT DisplayDevice::ClearWorkSurface() {
  return workSurface != nullptr ? FillBlack(workSurface) : DDERR_INVALIDOBJECT;
}

int DisplayDevice::CopyWorkToBack() {
  if (backBuffer == nullptr || workSurface == nullptr) return 0;
  RECT client{clientLeft, clientTop, clientRight, clientBottom};
  return backBuffer->Blt(&client, workSurface, &client, DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
}

void DisplayDevice::Flip() {
  if (primary != nullptr) primary->Flip(nullptr, 0);
}

void DisplayDevice::ReleaseSlot(int slot) {
  ImageSlot& entry = slots[slot];
  if (entry.surface != nullptr) entry.surface->Release();
  std::memset(&entry, 0, sizeof(entry));
}

int DisplayDevice::GetSlotRect(int slot, RECT* rect) const {
  if (slot < 0 || slot >= kSlotCount || slots[slot].loaded == 0) return 0;
  *rect = slots[slot].sourceRect;
  return 1;
}
