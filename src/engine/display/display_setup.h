// Setting up and tearing down the DirectDraw display: exclusive full screen at
// 640x480x16, a primary surface with one back buffer, the 640x480 work surface
// in system memory and a clipper bound to the main window.
#pragma once

#include <windows.h>

#include <ddraw.h>

// The display globals; the DisplayDevice keeps copies, ReleaseDirectDraw
// releases them.
extern IDirectDraw* TheDirectDraw;
extern IDirectDrawSurface* PrimarySurface;
extern IDirectDrawSurface* BackBufferSurface;
extern IDirectDrawSurface* WorkSurface;
extern IDirectDrawClipper* TheClipper;

int InitDisplay(HWND window);
int InitDirectDraw(HWND window);
int RestoreSurfaces(HWND window);
void ReleaseDirectDraw();
