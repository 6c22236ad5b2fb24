// LoadAcceleratorsA and TranslateAcceleratorA over the installed resource
// table, and the pictures of the icons that LoadIconA hands out.
#include "platform/user32/resources.h"

#include <atomic>

#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {
std::atomic<const ResourceTable*> gResources{nullptr};
}

void InstallResources(const ResourceTable* table) { gResources.store(table); }

const ResourceTable* InstalledResources() { return gResources.load(); }

const uint32_t* LargeIconPixels(HICON icon) {
  const ResourceTable* table = InstalledResources();
  if (table == nullptr || icon == nullptr) return nullptr;
  for (const IconGroupResource& group : table->icons) {
    if (reinterpret_cast<HICON>(const_cast<IconGroupResource*>(&group)) != icon) continue;
    const IconImageResource* best = nullptr;
    for (const IconImageResource& image : group.images)
      if (image.width == kLargeIconSize && image.height == kLargeIconSize && image.argb != nullptr &&
          (best == nullptr || image.colours > best->colours))
        best = &image;
    return best != nullptr ? best->argb : nullptr;
  }
  return nullptr;
}

WORD ResourceNumber(LPCSTR name) {
  auto value = reinterpret_cast<uintptr_t>(name);
  return value != 0 && value <= 0xFFFF ? static_cast<WORD>(value) : 0;
}

}  // namespace kaze::platform

using namespace kaze::platform;

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR tableName) {
  const ResourceTable* table = InstalledResources();
  WORD number = ResourceNumber(tableName);
  if (table == nullptr || number == 0) return nullptr;
  for (const AcceleratorTableResource& accelerators : table->accelerators)
    if (accelerators.id == number)
      return reinterpret_cast<HACCEL>(const_cast<AcceleratorTableResource*>(&accelerators));
  return nullptr;
}

namespace {

const AcceleratorTableResource* TableOf(HACCEL accel) {
  const ResourceTable* table = InstalledResources();
  if (table == nullptr) return nullptr;
  for (const AcceleratorTableResource& accelerators : table->accelerators)
    if (reinterpret_cast<HACCEL>(const_cast<AcceleratorTableResource*>(&accelerators)) == accel) return &accelerators;
  return nullptr;
}

bool Matches(const ACCEL& entry, const MSG& msg) {
  if ((entry.fVirt & FVIRTKEY) == 0 || entry.key != msg.wParam) return false;
  bool alt = (msg.lParam & (LPARAM{1} << 29)) != 0;
  // The modifiers as they were at this message, not as the device reports
  // them now (a tap long ago may still count as a press there).
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  return alt == ((entry.fVirt & FALT) != 0) && shift == ((entry.fVirt & FSHIFT) != 0) &&
         control == ((entry.fVirt & FCONTROL) != 0);
}

}  // namespace

int TranslateAcceleratorA(HWND hwnd, HACCEL accel, LPMSG msg) {
  if (msg == nullptr || !IsLiveWindow(hwnd)) return 0;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return 0;
  const AcceleratorTableResource* table = TableOf(accel);
  if (table == nullptr) return 0;
  for (const ACCEL& entry : table->entries) {
    if (!Matches(entry, *msg)) continue;
    // The command is sent to the window at once; high word 1: from an accelerator.
    SendToWindow(hwnd, WM_COMMAND, static_cast<WPARAM>(entry.cmd) | (WPARAM{1} << 16), 0);
    return 1;
  }
  return 0;
}
