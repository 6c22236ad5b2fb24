// The main thread's whole life: the window, the message loop and the
// orderly end.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"

constexpr WORD CMD_QUIT = KAZE_CMD_QUIT;  // ESC and Alt+F4 through accelerator table 113
constexpr UINT MSG_SHOW_CURSOR = 501;     // the game thread asks for ShowCursor(wParam)
constexpr WORD kAcceleratorTableId = KAZE_ACCELERATOR_TABLE;
constexpr WORD kIconGroupId = KAZE_ICON_GROUP;

// Main-thread globals, each written once during start-up.
extern HWND MainWindow;
extern HINSTANCE AppInstance;
extern HACCEL AccelTable;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
int CreateMainWindow(HINSTANCE hInstance);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void Shutdown();
