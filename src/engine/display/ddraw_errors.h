// DirectDraw result codes by name, for the player and the debugger.
#pragma once

#include <windows.h>

#include <ddraw.h>

// The symbolic name of a DirectDraw result ("DDERR_SURFACELOST"), or
// "Unknown Error" for a code the table does not hold.
const char* DirectDrawErrorName(HRESULT code);

// The table's size and its codes in order (101 entries, DD_OK first).
int DirectDrawErrorNameCount();
HRESULT DirectDrawErrorCodeAt(int index);

// Shows the code's name in a "DirectDraw Error" box owned by `window` and
// writes it to the debugger output.
void ReportDirectDrawError(HWND window, HRESULT code);
