#include "game/clicks.h"

#include <windows.h>

#include "shell/game_thread.h"
#include "shell/input.h"

int32_t LeftClickLatch = 0;
int32_t RightClickLatch = 0;

int ClickPending() {
  const int leftDown = IsKeyDown(VK_LBUTTON);
  if (!leftDown && LeftClickLatch == 1) return 1;
  if (leftDown) LeftClickLatch = 1;
  const int rightDown = IsKeyDown(VK_RBUTTON);
  if (!rightDown && RightClickLatch == 1) return 1;
  if (rightDown) RightClickLatch = 1;
  return 0;
}

int WaitOrClick(uint32_t ms) {
  // Elapsed time in unsigned arithmetic: a deadline computed as a wrapping
  // sum and compared with ">" would end a pause at once near the tick
  // counter's wrap, or never.
  const uint32_t started = GetTickCount();
  for (;;) {
    PumpFrame();
    if (GetTickCount() - started > ms) return 0;
    if (ClickPending() == 1) return 1;
  }
}
