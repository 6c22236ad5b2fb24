#include "game/scenes.h"

#include "game/clicks.h"
#include "game/fade.h"
#include "game/picture_sequences.h"
#include "game/scene_pictures.h"
#include "image/drawing.h"
#include "shell/input.h"
#include "sound/effects.h"

namespace {

constexpr int32_t kHoldFrames = 200;
constexpr uint32_t kFinalPauseMs = 3000;

enum : int { kWindEffect = 4, kNightEffect = 6, kIntroTune = 8 };

void Picture(const char* name, int32_t x, int32_t y) {
  LoadPicture(0, name);
  ShowPicture(x, y, kHoldFrames);
}

// A full-screen picture, then a keyed overlay blended in over it.
void PictureWithOverlay(const char* overlay, const char* background, int32_t x, int32_t y) {
  LoadPicture(0, overlay, kKeyedPicture);
  LoadPicture(1, background);
  ShowPictureWithOverlay(x, y, kHoldFrames);
}

}  // namespace

void PlayIntroSequence() {
  SoundEnabled = 1;  // on again even when the player turned it off in the story
  SetCursorVisible(0);
  ClearScreen();
  ReleaseAllImages();

  Picture("opening\\op0010.v", 121, 197);

  LoadPicture(0, "taiken\\tik011.v");
  LoadPicture(1, "taiken\\tik012.v");
  BlendInTwoPictures(190, 211, 190, 240, kHoldFrames);
  PlayEffect(kIntroTune, 1);

  Picture("taiken\\tik021.v", 223, 227);
  PictureWithOverlay("taiken\\tik022.v", "taiken\\tik030.v", 97, 146);

  Picture("taiken\\tik041.v", 207, 225);
  PlayEffect(kWindEffect, 1);
  PictureWithOverlay("taiken\\tik042.v", "taiken\\tik050.v", 98, 165);
  StopEffect(kWindEffect);

  Picture("taiken\\tik061.v", 218, 222);
  PlayEffect(kNightEffect, 1);
  FadeRampsIntroTune = 1;  // the tune fades out with this picture only
  PictureWithOverlay("taiken\\tik062.v", "taiken\\tik070.v", 93, 154);
  FadeRampsIntroTune = 0;
  StopEffect(kNightEffect);
  StopEffect(kIntroTune);

  Picture("taiken\\tik081.v", 116, 209);

  ClearScreen();
  WaitOrClick(kFinalPauseMs);
}
