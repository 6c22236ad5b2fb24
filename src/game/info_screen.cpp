#include "game/info_screen.h"

#include "shell/game_thread.h"

// Not yet written: one black frame.
void ShowInfoScreen() {
  PaceFrame(20);
  PumpFrame();
}
