// The scenario's input: polled key and button state, the cursor position in
// screen coordinates, and the cursor's visibility, which the main thread
// changes on the game thread's request.
#pragma once

#include <cstdint>

// The game thread's record of whether it has the cursor shown; 1 at start.
extern int32_t CursorShown;

int IsKeyDown(int virtualKey);             // game thread: 1 while the key or button is down
void GetMousePos(int32_t* x, int32_t* y);  // game thread: the cursor on the 640x480 screen
void SetCursorVisible(int show);           // game thread: asks the main thread, only on a change
void ReleaseCursorClip();                  // main thread, at the end
