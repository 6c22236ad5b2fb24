// The GDI stand-in's shared tables, for its own files only. Callers hold
// GdiMutex() while they use the tables or the *Locked helpers.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/gdi32/gdi_objects.h"

namespace kaze::platform {

struct GdiTables {
  std::unordered_map<HBITMAP, std::unique_ptr<HBITMAP__>> bitmaps;
  std::unordered_map<HDC, std::unique_ptr<HDC__>> contexts;
};

std::mutex& GdiMutex();
GdiTables& Gdi();

HBITMAP StockBitmap();
HDC NewContextLocked(HDC__::Kind kind);
HDC__* LiveContextLocked(HDC dc);
HBITMAP__* LiveBitmapLocked(HGDIOBJ object);
std::optional<PixelSurface> ContextPixelsLocked(HDC dc);

}  // namespace kaze::platform
