// Latched mouse clicks and the pause that a click cuts short. Game thread only.
#pragma once

#include <cstdint>

// Set when a button is seen down; cleared only by the scenes (and, during
// the story, kept current by the control bar).
extern int32_t LeftClickLatch;
extern int32_t RightClickLatch;

// 1 when a button that was seen down is now up (and keeps saying so until
// a scene clears the latches); a button still held is not yet a click.
int ClickPending();

// Flips frames without pacing until `ms` milliseconds have passed (0) or a
// click is pending (1).
int WaitOrClick(uint32_t ms);
