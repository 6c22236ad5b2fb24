// One of the display's 256 numbered picture entries.
#pragma once

#include <ddraw.h>
#include <windows.h>

#include <cstdint>

constexpr int kSlotCount = 256;
constexpr int kSlotPathSize = 36;  // "Data\" + name + NUL must fit

struct ImageSlot {
  char path[kSlotPathSize];  // "Data\%s" of the loaded name
  RECT sourceRect;           // the whole picture: 0, 0, width, height
  int32_t originX;
  int32_t originY;
  int32_t width;
  int32_t height;
  IDirectDrawSurface* surface;  // null in an empty slot
  int32_t loaded;
  int32_t bltFlags;   // DDBLT_KEYSRC (0x8000) for a keyed picture, else 0
  int32_t keyColour;  // COLORREF of the key; -1: the top-left pixel's colour
};
