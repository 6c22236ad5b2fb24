// The story: pages of pictures with vertical text lines, turned with the
// control bar.
#pragma once

// 1 when the player confirmed quitting, 0 when the story ran past its last page.
int RunStory();

// Page 1 loaded, the bar faded in, the page's fade-in requested, the pointer shown.
void StartStory();

// 1 once a confirmed quit has counted down: the story must end.
int CheckQuit();
