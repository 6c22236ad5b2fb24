// A window that the X server destroys (a window manager's or xdotool's
// `windowclose`) makes every later X request on it fail, and Xlib's answer
// to an error is to end the process with exit code 1. Errors about the
// program's own window are taken instead as the window's end, which the
// host passes on as a close, so that the run ends in order.
#pragma once

#include <SDL.h>

namespace kaze::host {

// Main thread, once the window exists for good (an OpenGL renderer makes
// it anew); nothing where it is not an X11 window.
void WatchForWindowLoss(SDL_Window* window);
// True once the server said the watched window was destroyed (as SDL pumped
// events), or an X request on it failed because it is gone.
bool WindowWasLost();
// Any thread, before drawing: asks the server whether the watched window
// is still there (one round trip) and returns WindowWasLost() after it, so
// that a destruction whose event the main thread has not pumped yet is
// known too. False where nothing is watched.
bool WindowGoneOnServer();
// Main thread, once the window is destroyed: X reports errors after the
// fact, and those of the destruction itself must come while the watch is
// there, not when SDL closes the display with Xlib's handler back.
void SettleWindowErrors();

}  // namespace kaze::host
