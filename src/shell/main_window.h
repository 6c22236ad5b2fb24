// The main thread's whole life: the window, the message loop and the
// orderly end.
#pragma once

#include <windows.h>

constexpr WORD CMD_QUIT = 40001;         // ESC and Alt+F4 through accelerator table 113
constexpr UINT MSG_SHOW_CURSOR = 501;    // the game thread asks for ShowCursor(wParam)
constexpr WORD kAcceleratorTableId = 113;
constexpr WORD kIconGroupId = 149;

// Main-thread globals, each written once during start-up.
extern HWND MainWindow;
extern HINSTANCE AppInstance;
extern HACCEL AccelTable;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
int CreateMainWindow(HINSTANCE hInstance);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void Shutdown();
