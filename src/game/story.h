// The story: pages of pictures with vertical text lines, turned with the
// control bar.
#pragma once

// 1 when the player confirmed quitting, 0 when the story ran past its last page.
int RunStory();
