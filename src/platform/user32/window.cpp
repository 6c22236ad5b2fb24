// Window classes and windows. A window here is a rectangle on the virtual
// screen and a procedure; the host shows the screen, not the window, so the
// window's screen is opened with the first window and closed with the last.
#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "host/host.h"
#include "platform/setup/faults.h"
#include "platform/user32/resources.h"
#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {

static_assert(kLargeIconSize == kaze::host::ScreenIcon::kSize, "the host takes the class's large icon as it is");

struct WindowClass {
  WNDPROC procedure = nullptr;
  UINT style = 0;
  HICON icon = nullptr;  // shown by the host as the screen's icon
};

struct Window {
  std::string className;
  WNDPROC procedure = nullptr;
  RECT rect{};  // on the screen
  DWORD style = 0;
  HWND parent = nullptr;
};

std::mutex gWindowsMutex;
std::map<std::string, WindowClass> gClasses;
std::map<uintptr_t, Window> gWindows;
uintptr_t gNextHandle = 0x10010;
bool gScreenOpen = false;
int32_t gModeWidth = 0, gModeHeight = 0;  // 0: the desktop's own mode

std::string ClassKey(LPCSTR name) {
  std::string key = name != nullptr ? name : "";
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);  // class names ignore case
  return key;
}

Window* FindWindowLocked(HWND hwnd) {
  auto it = gWindows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == gWindows.end() ? nullptr : &it->second;
}

WNDPROC ProcedureOf(HWND hwnd) {
  std::lock_guard lock(gWindowsMutex);
  Window* window = FindWindowLocked(hwnd);
  return window != nullptr ? window->procedure : nullptr;
}

}  // namespace

bool IsLiveWindow(HWND hwnd) {
  std::lock_guard lock(gWindowsMutex);
  return FindWindowLocked(hwnd) != nullptr;
}

bool WindowScreenRect(HWND hwnd, RECT& rect) {
  std::lock_guard lock(gWindowsMutex);
  Window* window = FindWindowLocked(hwnd);
  if (window == nullptr) return false;
  rect = window->rect;
  return true;
}

void PlaceWindow(HWND hwnd, const RECT& screenRect) {
  std::lock_guard lock(gWindowsMutex);
  if (Window* window = FindWindowLocked(hwnd)) window->rect = screenRect;
}

HWND InputWindow() {
  std::lock_guard lock(gWindowsMutex);
  for (auto it = gWindows.rbegin(); it != gWindows.rend(); ++it)
    if (it->second.parent == nullptr) return reinterpret_cast<HWND>(it->first);
  return nullptr;
}

LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = ProcedureOf(hwnd);
  return procedure != nullptr ? procedure(hwnd, message, wParam, lParam) : 0;
}

void SetScreenMode(int32_t width, int32_t height) {
  std::lock_guard lock(gWindowsMutex);
  gModeWidth = width;
  gModeHeight = height;
}

void ScreenSize(int32_t& width, int32_t& height) {
  {
    std::lock_guard lock(gWindowsMutex);
    width = gModeWidth;
    height = gModeHeight;
  }
  if (width == 0 || height == 0) kaze::host::TheHost().DesktopSize(width, height);
}

void ResetWindowSystem() {
  {
    std::lock_guard lock(gWindowsMutex);
    gClasses.clear();
    gWindows.clear();
    gScreenOpen = false;
    gModeWidth = gModeHeight = 0;
  }
  ResetMessageQueue();
}

}  // namespace kaze::platform

using namespace kaze::platform;

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
  if (wndClass == nullptr || wndClass->lpfnWndProc == nullptr || wndClass->lpszClassName == nullptr) return 0;
  if (CheckFault("RegisterClassA")) return 0;
  std::lock_guard lock(gWindowsMutex);
  auto [it, added] = gClasses.emplace(ClassKey(wndClass->lpszClassName),
                                      WindowClass{wndClass->lpfnWndProc, wndClass->style, wndClass->hIcon});
  if (!added) return 0;  // ERROR_CLASS_ALREADY_EXISTS
  return static_cast<ATOM>(0xC000 + gClasses.size());
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int x, int y, int width, int height, HWND parent,
                     HMENU, HINSTANCE, LPVOID) {
  if (CheckFault("CreateWindowExA")) return nullptr;
  HWND hwnd = nullptr;
  bool openScreen = false;
  kaze::host::ScreenIcon icon;
  {
    std::lock_guard lock(gWindowsMutex);
    auto found = gClasses.find(ClassKey(className));
    if (found == gClasses.end() || width < 0 || height < 0) return nullptr;
    uintptr_t handle = gNextHandle;
    gNextHandle += 0x10;
    gWindows[handle] = Window{found->first, found->second.procedure, RECT{x, y, x + width, y + height}, style, parent};
    hwnd = reinterpret_cast<HWND>(handle);
    openScreen = parent == nullptr && !gScreenOpen;
    if (openScreen) {
      gScreenOpen = true;
      icon.argb = LargeIconPixels(found->second.icon);
    }
  }
  if (openScreen && !kaze::host::TheHost().OpenScreen(icon)) {
    std::lock_guard lock(gWindowsMutex);
    gWindows.erase(reinterpret_cast<uintptr_t>(hwnd));
    gScreenOpen = false;
    return nullptr;
  }
  // WM_CREATE arrives during the call; -1 refuses the window.
  if (SendToWindow(hwnd, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  return hwnd;
}

// The result tells whether the window was visible before: it never was.
BOOL ShowWindow(HWND, int) { return FALSE; }

BOOL UpdateWindow(HWND hwnd) { return IsLiveWindow(hwnd) ? TRUE : FALSE; }

BOOL DestroyWindow(HWND hwnd) {
  if (!IsLiveWindow(hwnd)) return FALSE;
  kaze::host::TheHost().Trace("window", {{"op", std::string_view("destroy")}});
  SendToWindow(hwnd, WM_DESTROY, 0, 0);
  bool closeScreen = false;
  {
    std::lock_guard lock(gWindowsMutex);
    gWindows.erase(reinterpret_cast<uintptr_t>(hwnd));
    bool anyTopLevel = false;
    for (const auto& [handle, window] : gWindows) anyTopLevel = anyTopLevel || window.parent == nullptr;
    closeScreen = gScreenOpen && !anyTopLevel;
    if (closeScreen) gScreenOpen = false;
  }
  if (closeScreen) kaze::host::TheHost().CloseScreen();
  return TRUE;
}

// What the system does with the keys that a program lets through to it:
// Alt+F4 closes the window; F10, a lone Alt and the other Alt keys open the
// window's menu (which shows in the trace, as this machine has none to show).
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool alt = (lParam & (LPARAM{1} << 29)) != 0;
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && alt) return SendToWindow(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (wParam != VK_MENU) return SendToWindow(hwnd, WM_SYSCOMMAND, SC_KEYMENU, wParam);
      return 0;
    case WM_SYSKEYUP:
      if (wParam == VK_MENU) return SendToWindow(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) return SendToWindow(hwnd, WM_CLOSE, 0, 0);
      if ((wParam & 0xFFF0) == SC_KEYMENU) {
        kaze::host::TheHost().Trace("window", {{"op", std::string_view("menu")}, {"key", int64_t(lParam)}});
      }
      return 0;
    default:
      return 0;
  }
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  RECT screen{};
  if (rect == nullptr || !WindowScreenRect(hwnd, screen)) return FALSE;
  *rect = RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  RECT screen{};
  if (point == nullptr || !WindowScreenRect(hwnd, screen)) return FALSE;
  point->x += screen.left;
  point->y += screen.top;
  return TRUE;
}

int GetSystemMetrics(int index) {
  int32_t width = 0, height = 0;
  ScreenSize(width, height);
  if (index == SM_CXSCREEN) return width;
  if (index == SM_CYSCREEN) return height;
  return 0;
}

HICON LoadIconA(HINSTANCE, LPCSTR iconName) {
  const ResourceTable* table = InstalledResources();
  WORD number = ResourceNumber(iconName);
  if (table == nullptr || number == 0) return nullptr;
  for (const IconGroupResource& group : table->icons)
    if (group.id == number) return reinterpret_cast<HICON>(const_cast<IconGroupResource*>(&group));
  return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR cursorName) {
  // The system cursors only; the arrow is the one the program asks for.
  return ResourceNumber(cursorName) == 32512 ? reinterpret_cast<HCURSOR>(uintptr_t{32512}) : nullptr;
}
