#include "game/scenes.h"

#include "game/fade.h"
#include "sound/effects.h"

void MainSceneLoop() {
  LoadEffects();  // without a sound bank: nothing loaded, every scene silent
  InitFadeVolumeTable();
  for (;;) {
    PlayIntroSequence();
    PlayOpening();
    PlayTitle();
    if (RunStory() == 1) {  // the player confirmed quitting
      ReleaseEffects();
      return;
    }
    ShowInfoScreen();
  }
}
