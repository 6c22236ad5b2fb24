// The lifetime of GDI objects: contexts, bitmaps, stock objects, selection.
#include <wingdi.h>

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/ddraw/ddraw_objects.h"
#include "platform/setup/faults.h"
#include "platform/gdi32/gdi_internal.h"
#include "platform/gdi32/gdi_objects.h"

namespace kaze::platform {

namespace {

// The stock brushes, WHITE_BRUSH (0) to NULL_BRUSH (5), by address.
struct StockBrush {
  int index;
};
const StockBrush kStockBrushes[6] = {{0}, {1}, {2}, {3}, {4}, {5}};

bool IsStockBrush(HGDIOBJ object) {
  for (const StockBrush& brush : kStockBrushes)
    if (object == &brush) return true;
  return false;
}

}  // namespace

std::mutex& GdiMutex() {
  static std::mutex mutex;
  return mutex;
}

GdiTables& Gdi() {
  static GdiTables tables;
  return tables;
}

HBITMAP StockBitmap() {
  // The 1x1 bitmap that a new memory context holds; shared, never deleted.
  static HBITMAP__ bitmap = [] {
    HBITMAP__ stock;
    stock.width = 1;
    stock.height = 1;
    stock.pixels.assign(1, 0);
    stock.stock = true;
    return stock;
  }();
  return &bitmap;
}

HBITMAP NewBitmap(int32_t width, int32_t height, PixelLayout layout, std::vector<uint16_t> pixels) {
  auto bitmap = std::make_unique<HBITMAP__>();
  bitmap->width = width;
  bitmap->height = height;
  bitmap->layout = layout;
  bitmap->pixels = std::move(pixels);
  bitmap->pixels.resize(size_t(width) * size_t(height), 0);
  HBITMAP handle = bitmap.get();
  std::lock_guard lock(GdiMutex());
  Gdi().bitmaps.emplace(handle, std::move(bitmap));
  return handle;
}

HDC NewContextLocked(HDC__::Kind kind) {
  auto dc = std::make_unique<HDC__>();
  dc->kind = kind;
  if (kind == HDC__::Kind::Memory) dc->bitmap = StockBitmap();
  HDC handle = dc.get();
  Gdi().contexts.emplace(handle, std::move(dc));
  return handle;
}

HDC NewSurfaceDC(IDirectDrawSurface* surface) {
  std::lock_guard lock(GdiMutex());
  HDC dc = NewContextLocked(HDC__::Kind::Surface);
  dc->surface = surface;
  return dc;
}

void DeleteSurfaceDC(HDC dc) {
  std::lock_guard lock(GdiMutex());
  auto found = Gdi().contexts.find(dc);
  if (found != Gdi().contexts.end() && found->second->kind == HDC__::Kind::Surface) Gdi().contexts.erase(found);
}

HDC__* LiveContextLocked(HDC dc) {
  auto found = Gdi().contexts.find(dc);
  return found == Gdi().contexts.end() ? nullptr : found->second.get();
}

HBITMAP__* LiveBitmapLocked(HGDIOBJ object) {
  if (object == StockBitmap()) return StockBitmap();
  auto found = Gdi().bitmaps.find(static_cast<HBITMAP>(object));
  return found == Gdi().bitmaps.end() ? nullptr : found->second.get();
}

std::optional<PixelSurface> ContextPixelsLocked(HDC dc) {
  HDC__* context = LiveContextLocked(dc);
  if (context == nullptr) return std::nullopt;
  if (context->kind == HDC__::Kind::Memory && context->bitmap != nullptr && !context->bitmap->stock)
    return context->bitmap->View();
  if (context->kind == HDC__::Kind::Surface && context->surface != nullptr &&
      StateOf(context->surface).pixels.pixels != nullptr)
    return StateOf(context->surface).pixels;
  return std::nullopt;
}

std::optional<PixelSurface> ContextPixels(HDC dc) {
  std::lock_guard lock(GdiMutex());
  return ContextPixelsLocked(dc);
}

bool IsLiveBitmap(HGDIOBJ handle) {
  std::lock_guard lock(GdiMutex());
  return Gdi().bitmaps.count(static_cast<HBITMAP>(handle)) != 0;
}

bool IsLiveDC(HDC dc) {
  std::lock_guard lock(GdiMutex());
  return Gdi().contexts.count(dc) != 0;
}

int LiveBitmapCount() {
  std::lock_guard lock(GdiMutex());
  return static_cast<int>(Gdi().bitmaps.size());
}

int LiveDCCount() {
  std::lock_guard lock(GdiMutex());
  return static_cast<int>(Gdi().contexts.size());
}

}  // namespace kaze::platform

using namespace kaze::platform;

HGDIOBJ GetStockObject(int object) {
  if (object < 0 || object >= 6) return nullptr;
  return const_cast<StockBrush*>(&kStockBrushes[object]);
}

// The screen's context: a reference for the display's format; it has no
// pixels of its own here, so drawing on it does nothing.
HDC GetDC(HWND hwnd) {
  if (CheckFault("GetDC")) return nullptr;
  std::lock_guard lock(GdiMutex());
  return NewContextLocked(HDC__::Kind::Screen);
}

int ReleaseDC(HWND hwnd, HDC dc) {
  std::lock_guard lock(GdiMutex());
  HDC__* context = LiveContextLocked(dc);
  if (context == nullptr || context->kind != HDC__::Kind::Screen) return 0;
  Gdi().contexts.erase(dc);
  return 1;
}

HDC CreateCompatibleDC(HDC dc) {
  if (CheckFault("CreateCompatibleDC")) return nullptr;
  std::lock_guard lock(GdiMutex());
  if (dc != nullptr && LiveContextLocked(dc) == nullptr) return nullptr;
  return NewContextLocked(HDC__::Kind::Memory);
}

BOOL DeleteDC(HDC dc) {
  std::lock_guard lock(GdiMutex());
  HDC__* context = LiveContextLocked(dc);
  if (context == nullptr || context->kind != HDC__::Kind::Memory) return FALSE;
  if (context->bitmap != nullptr) context->bitmap->selectedInto = nullptr;
  Gdi().contexts.erase(dc);
  return TRUE;
}

// Only memory contexts take bitmaps, and a bitmap lives in one context at a
// time. The result is the object that was selected before, or null.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard lock(GdiMutex());
  HDC__* context = LiveContextLocked(dc);
  if (context == nullptr) return nullptr;
  if (IsStockBrush(object)) return GetStockObject(0);  // WHITE_BRUSH, every context's first brush
  HBITMAP__* bitmap = LiveBitmapLocked(object);
  if (bitmap == nullptr || context->kind != HDC__::Kind::Memory) return nullptr;
  if (!bitmap->stock && bitmap->selectedInto != nullptr && bitmap->selectedInto != dc) return nullptr;
  HBITMAP previous = context->bitmap;
  if (previous != nullptr && !previous->stock) previous->selectedInto = nullptr;
  context->bitmap = bitmap;
  if (!bitmap->stock) bitmap->selectedInto = dc;
  return previous;
}

// A bitmap still selected into a context is not deleted (the call fails);
// stock objects are never deleted (the call succeeds).
BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard lock(GdiMutex());
  if (IsStockBrush(object) || object == StockBitmap()) return TRUE;
  auto found = Gdi().bitmaps.find(static_cast<HBITMAP>(object));
  if (found == Gdi().bitmaps.end() || found->second->selectedInto != nullptr) return FALSE;
  Gdi().bitmaps.erase(found);
  return TRUE;
}

// For a bitmap: its BITMAP description (a device-dependent bitmap, so no
// bits pointer). The size of what was written, or 0.
int GetObjectA(HGDIOBJ object, int size, LPVOID out) {
  std::lock_guard lock(GdiMutex());
  HBITMAP__* bitmap = LiveBitmapLocked(object);
  if (bitmap == nullptr) return 0;
  if (out == nullptr) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP description{};
  description.bmType = 0;
  description.bmWidth = bitmap->width;
  description.bmHeight = bitmap->height;
  description.bmPlanes = 1;
  description.bmBitsPixel = bitmap->stock ? 1 : 16;
  description.bmWidthBytes = bitmap->stock ? 2 : bitmap->width * 2;
  description.bmBits = nullptr;
  *static_cast<BITMAP*>(out) = description;
  return sizeof(BITMAP);
}
