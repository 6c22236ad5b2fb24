#include "game/main_scene_loop.h"

#include "game/fade.h"
#include "game/info_screen.h"
#include "game/intro.h"
#include "game/opening.h"
#include "game/story.h"
#include "game/title.h"
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
