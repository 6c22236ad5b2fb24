// The scenes that the main loop runs, in their order. Each runs on the game
// thread and returns when it is over.
#pragma once

// The scenario: one cycle of scenes after another until the player quits.
// Returns only when the player confirmed quitting.
void MainSceneLoop();

// The intro: the taiken pictures fading and blending over their effects;
// only its final pause ends early on a click.
void PlayIntroSequence();

// The opening: five parts that repeat, with black pauses between them, until
// the player clicks. Returns 1.
int PlayOpening();

// The title: two vertical columns unrolled from the top, then faded out.
void PlayTitle();

// The story: pages of pictures with vertical text lines, turned with the
// control bar. 1 when the player confirmed quitting, 0 when the story ran
// past its last page.
int RunStory();

// The information screen after the last page: the bar fades out, then about
// twenty seconds of one picture that the player cannot skip.
void ShowInfoScreen();
