// The cursor, the key state and the input-method switch.
#include <windows.h>
#include <winnls32.h>

#include <mutex>

#include "host/host.h"
#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {

std::mutex gCursorMutex;
int gDisplayCount = 0;  // the cursor shows while the count is 0 or more
bool gClipped = false;
RECT gClip{};
bool gImeEnabled = true;

}  // namespace

void ResetCursor() {
  std::lock_guard lock(gCursorMutex);
  gDisplayCount = 0;
  gClipped = false;
  gImeEnabled = true;
}

}  // namespace kaze::platform

using namespace kaze::platform;

int ShowCursor(BOOL show) {
  int count = 0;
  bool changed = false;
  {
    std::lock_guard lock(gCursorMutex);
    bool wasShown = gDisplayCount >= 0;
    gDisplayCount += show ? 1 : -1;
    count = gDisplayCount;
    changed = wasShown != (gDisplayCount >= 0);
  }
  if (changed) kaze::host::TheHost().SetCursorShown(count >= 0);
  return count;
}

BOOL ClipCursor(const RECT* rect) {
  if (rect == nullptr) kaze::host::TheHost().Trace("cursor-clip", {{"op", std::string_view("release")}});
  std::lock_guard lock(gCursorMutex);
  gClipped = rect != nullptr;
  if (rect != nullptr) gClip = *rect;
  return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  int32_t x = 0, y = 0;
  kaze::host::TheHost().CursorPos(x, y);
  point->x = x;
  point->y = y;
  return TRUE;
}

SHORT GetAsyncKeyState(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 0xFE) return 0;
  // Bit 15: down now. Bit 0 (pressed since the last query) is not kept.
  return kaze::host::TheHost().IsKeyDown(static_cast<uint32_t>(virtualKey)) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINNLSEnableIME(HWND, BOOL enable) {
  std::lock_guard lock(gCursorMutex);
  BOOL previous = gImeEnabled ? TRUE : FALSE;
  gImeEnabled = enable != FALSE;
  return previous;
}
