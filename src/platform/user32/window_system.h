// The stand-in's windows: a registry of classes and windows behind the
// handles that the Windows-shaped calls take, and the one message queue.
// Shared by the window, message and DirectDraw parts of the platform.
#pragma once

#include <windows.h>

namespace kaze::platform {

// Whether `hwnd` names a live window.
bool IsLiveWindow(HWND hwnd);

// The window's rectangle on the screen; false for a handle that names none.
bool WindowScreenRect(HWND hwnd, RECT& rect);

// Moves and sizes a window, as exclusive full-screen mode does with the
// cooperative window: it covers the new mode's screen from its origin.
void PlaceWindow(HWND hwnd, const RECT& screenRect);

// The screen's size: the display mode that DirectDraw set, or the desktop's.
void SetScreenMode(int32_t width, int32_t height);  // 0, 0: back to the desktop's
void ScreenSize(int32_t& width, int32_t& height);

// The window that receives the host's input: the newest live top-level one.
HWND InputWindow();

// Calls the window's procedure at once, as SendMessage does; 0 for a handle
// that names no window.
LRESULT SendToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Forgets every class, window and queued message, and the cursor's state
// (a fresh process, for tests that run the program more than once).
void ResetWindowSystem();
void ResetMessageQueue();
void ResetCursor();

}  // namespace kaze::platform
