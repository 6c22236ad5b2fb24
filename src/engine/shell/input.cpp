#include "shell/input.h"

#include <windows.h>

#include "shell/main_window.h"

int32_t CursorShown = 1;

int IsKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0 ? 1 : 0; }

void GetMousePos(int32_t* x, int32_t* y) {
  POINT point{};
  GetCursorPos(&point);
  ClientToScreen(MainWindow, &point);
  *x = point.x;
  *y = point.y;
}

void SetCursorVisible(int show) {
  if (show != 0) {
    if (CursorShown > 0) return;
    ++CursorShown;
  } else {
    if (CursorShown <= 0) return;
    --CursorShown;
  }
  PostMessageA(MainWindow, MSG_SHOW_CURSOR, static_cast<WPARAM>(show), 0);
  Sleep(0);
}

void ReleaseCursorClip() { ClipCursor(nullptr); }
