// The story's own steps; the story itself, RunStory, is with the other
// scenes (game/scenes.h).
#pragma once

// Page 1 loaded, the bar faded in, the page's fade-in requested, the pointer shown.
void StartStory();

// 1 once a confirmed quit has counted down: the story must end.
int CheckQuit();
