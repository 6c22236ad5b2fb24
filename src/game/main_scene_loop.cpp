#include "game/main_scene_loop.h"

#include "display/display_device.h"
#include "shell/game_thread.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"

void MainSceneLoop() {
  LoadEffects();
  // Until the scenes are in place: black frames at the paced rate.
  for (;;) {
    PaceFrame(20);
    if (DisplayDevice* display = TheDisplay.load()) display->ClearBackBuffer();
    PumpFrame();
  }
}
