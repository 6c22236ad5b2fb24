#include "game/title.h"

#include "shell/game_thread.h"

// Not yet written: one black frame.
void PlayTitle() {
  PaceFrame(20);
  PumpFrame();
}
