#include "shell/main_window.h"

#include <windows.h>

#include <ddraw.h>
#include <winnls32.h>

#include "display/display_device.h"
#include "display/display_setup.h"
#include "shell/input.h"
#include "shell/shared_flags.h"
#include "sound/mixer_volume.h"
#include "sound/sound_bank.h"

HWND MainWindow = nullptr;
HINSTANCE AppInstance = nullptr;
HACCEL AccelTable = nullptr;

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;

bool IsSystemKeyMessage(UINT message) { return message == WM_SYSKEYDOWN || message == WM_SYSKEYUP; }

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  if (!CreateMainWindow(hInstance)) return 0;
  AccelTable = LoadAcceleratorsA(hInstance, MAKEINTRESOURCEA(kAcceleratorTableId));
  WINNLSEnableIME(nullptr, FALSE);
  MSG msg{};
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageA(&msg, nullptr, 0, 0)) break;
      if (AccelTable != nullptr && TranslateAcceleratorA(MainWindow, AccelTable, &msg)) continue;
      // System keys (F10, a lone Alt, Alt+Space, ...) do nothing; Alt+F4
      // came through as CMD_QUIT above.
      if (IsSystemKeyMessage(msg.message)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT) break;
    Sleep(1);
  }
  return static_cast<int>(msg.wParam);
}

int CreateMainWindow(HINSTANCE hInstance) {
  AppInstance = hInstance;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  WNDCLASSA windowClass{};
  windowClass.style = CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = hInstance;
  windowClass.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(kIconGroupId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "kaze";
  if (!RegisterClassA(&windowClass)) return 0;

  MainWindow = CreateWindowExA(0, "kaze", "kaze", WS_POPUP | WS_SYSMENU, (screenWidth - kWindowWidth) >> 1,
                               (screenHeight - kWindowHeight) >> 1, kWindowWidth, kWindowHeight, nullptr, nullptr,
                               hInstance, nullptr);
  // Without a window there is nothing to show and no queue to end through:
  // the program ends at once, as when the class cannot be registered.
  if (MainWindow == nullptr) return 0;
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  UpdateWindow(MainWindow);

  if (!InitDisplay(MainWindow)) {
    GameThreadDone.store(1);
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
  }
  return 1;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SaveSynthVolume();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      Shutdown();
      return 0;
    case WM_ACTIVATEAPP:
      if (DisplayReady.load() == 1) {
        AppActive.store(static_cast<int32_t>(wParam));
        if (wParam != 0) RestoreSurfaces(hwnd);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == CMD_QUIT) Shutdown();
      return 0;
    case MSG_SHOW_CURSOR:
      ShowCursor(static_cast<BOOL>(wParam));
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

void Shutdown() {
  QuitRequested.store(1);
  while (GameThreadDone.load() == 0) Sleep(100);
  ReleaseCursorClip();
  if (TheSoundBank != nullptr) {
    delete TheSoundBank;
    TheSoundBank = nullptr;
  }
  if (DisplayDevice* display = TheDisplay.load()) {
    delete display;
    TheDisplay.store(nullptr);
  }
  ReleaseDirectDraw();
  RestoreSynthVolume();
  DestroyWindow(MainWindow);
}
