#include "game/story.h"

#include "shell/game_thread.h"

// Not yet written: one black frame, then on to the information screen.
int RunStory() {
  PaceFrame(20);
  PumpFrame();
  return 0;
}
