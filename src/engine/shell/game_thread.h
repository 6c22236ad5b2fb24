// The game thread, which runs the whole scenario, and the two calls that
// frame every pass of a scene loop: PaceFrame at its start, PumpFrame at its end.
#pragma once

#include <cstdint>

// The tick count that PaceFrame stored last; 0 at start.
extern uint32_t LastFrameTick;

// Starts GameThreadMain; 1 when the thread was started, 0 otherwise.
int StartGameThread();

// The thread's body: waits for the display and the activation, runs the
// scenario, asks the window to close. Never returns to a caller.
void GameThreadMain(void* unused);

// The scenario that GameThreadMain runs: MainSceneLoop. A test may put
// another in its place before WinMain (the story's tests start at the story).
extern void (*GameScenario)();

// GameThreadMain's work with `scenario` in place of MainSceneLoop: the start
// wait, the scenario, the close request. GameThreadDone is raised when nothing of
// the thread runs any more (PortEndThread), whichever way the thread ends. Only the
// game thread (a thread of _beginthread) may run it.
void RunGameThread(void (*scenario)());

// Ends the frame: honours a quit request (the thread ends here and nothing
// behind the call runs), flips the display, sleeps 1 ms.
void PumpFrame();

// Holds successive returns at least `ms` apart; returns the tick count stored.
uint32_t PaceFrame(uint32_t ms);
