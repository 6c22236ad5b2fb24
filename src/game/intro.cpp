#include "game/intro.h"

#include "shell/game_thread.h"

// Not yet written: one black frame.
void PlayIntroSequence() {
  PaceFrame(20);
  PumpFrame();
}
