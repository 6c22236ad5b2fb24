// What the DirectDraw parts of the stand-in share: the live surfaces, the
// display format and the surface factory.
#pragma once

#include <ddraw.h>

#include "platform/ddraw/ddraw_objects.h"

#include "platform/setup/settings.h"

namespace kaze::platform {

// The 16-bit format's channel masks.
void DisplayMasks(PixelLayout layout, DWORD& red, DWORD& green, DWORD& blue);

// A new surface of width x height pixels in the display's format, its rows
// padded to a multiple of 8 bytes; null when the memory cannot be had.
DirectDrawSurface* NewSurface(int32_t width, int32_t height, DWORD caps, const char* role);

// Every live surface is known, so that the host's loss of the display can
// reach the screen's surfaces.
void RegisterSurface(DirectDrawSurface* surface);
void UnregisterSurface(DirectDrawSurface* surface);
bool PrimaryExists();

// Every Release of a DirectDraw object goes into the trace, so that the
// order of a teardown and any object left over can be seen.
void TraceRelease(const char* object, ULONG referencesLeft);

// Release without a trace line, for the references that the stand-in holds
// itself (a surface's on its clipper, the flip chain's on its back buffer).
ULONG DropReference(DirectDrawSurface* surface);
ULONG DropReference(DirectDrawClipper* clipper);

// Counts every call that may change a surface's pixels (creation, blit,
// lock, unlock, device context, restore). A presented frame whose memory and
// count match an earlier presentation's shows the same picture, which lets a
// host skip comparing it.
uint64_t NoteSurfaceWrite();
uint64_t SurfaceWrites();

// Marks the flip chain and the surfaces clipped to a window lost.
void LoseScreenSurfaces();

}  // namespace kaze::platform
