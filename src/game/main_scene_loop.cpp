#include "game/main_scene_loop.h"

#include "shell/game_thread.h"
#include "sound/effects.h"

void MainSceneLoop() {
  LoadEffects();
  // Until the scenes are in place: the black screen of the set-up, flipped
  // at the paced rate.
  for (;;) {
    PaceFrame(20);
    PumpFrame();
  }
}
