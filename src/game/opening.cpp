#include "game/opening.h"

#include "shell/game_thread.h"

// Not yet written: one black frame.
int PlayOpening() {
  PaceFrame(20);
  PumpFrame();
  return 1;
}
