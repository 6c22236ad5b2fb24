// The control bar in the bottom strip of the story (rows 450 to 479): back
// and next turn the pages, quit asks yes or no, the sound button switches
// the effects off and on. Game thread only.
#pragma once

#include <cstdint>

// Button identifiers, as HitTestControlBar returns them.
enum : int32_t {
  kNoButton = 0,
  kBackButton = 1,
  kNextButton = 2,
  kQuitButton = 3,
  kSoundButton = 4,
  kYesButton = 9,
  kNoAnswerButton = 10,
};

// The button under the pointer when the left button was last seen down;
// it stays armed until a release over it or a frame over no button.
extern int32_t PressedButton;

// The quit question and its two answers: 1 while shown.
extern int32_t QuitQuestionShown;
extern int32_t YesShown;
extern int32_t NoShown;

// The bar's 33 pictures into slots 20 to 54, all opaque.
void LoadControlBarImages();

// The button whose hit rectangle holds the pointer strictly inside, or 0
// (which also disarms PressedButton).
int32_t HitTestControlBar();

// A press and a release of the left button over the same button acts on it.
void HandleControlBarClick(int32_t id);

// RightClickLatch follows the right button (it speeds the text).
void TrackRightButton();

void HideDialogItems();

// Starts the current page's looping effect again, after the sound button
// switched the sound back on.
void ResumeStageSounds();

// The bar, with the hot button highlighted (and pressed in while the left
// button is held). Draws over what is there; callers clear the strip.
void DrawControlBar(int32_t hot);

// The bar brightens over 31 frames / darkens over 32 frames; the rest of the
// screen is left as the work surface holds it.
void FadeInControlBar();
void FadeOutControlBar();
