// Every live DirectDraw surface, so that the host's loss of the display can
// reach the screen's surfaces, and the one primary surface.
#include <mutex>
#include <set>

#include "host/host.h"
#include "platform/ddraw/ddraw_internal.h"

namespace kaze::platform {

namespace {

std::mutex gSurfacesMutex;
std::set<DirectDrawSurface*> gSurfaces;
DirectDrawSurface* gPrimary = nullptr;  // at most one primary surface exists

// The surfaces a display switch takes: the flip chain, and the surfaces that
// show the window through a clipper (the program's work surface). Picture
// surfaces in system memory keep their memory.
bool IsScreenSurface(const DirectDrawSurface& surface) {
  if (surface.state.caps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_BACKBUFFER)) return true;
  return surface.state.clipper != nullptr;
}

}  // namespace

void RegisterSurface(DirectDrawSurface* surface) {
  std::lock_guard lock(gSurfacesMutex);
  gSurfaces.insert(surface);
  if (surface->state.caps & DDSCAPS_PRIMARYSURFACE) gPrimary = surface;
}

void UnregisterSurface(DirectDrawSurface* surface) {
  std::lock_guard lock(gSurfacesMutex);
  gSurfaces.erase(surface);
  if (gPrimary == surface) gPrimary = nullptr;
}

void LoseScreenSurfaces() {
  int64_t count = 0;
  {
    std::lock_guard lock(gSurfacesMutex);
    for (DirectDrawSurface* surface : gSurfaces) {
      if (!IsScreenSurface(*surface)) continue;
      surface->state.lost.store(true);
      ++count;
    }
  }
  host::TheHost().Trace("surface", {{"op", std::string_view("lost")}, {"count", count}});
}

bool PrimaryExists() {
  std::lock_guard lock(gSurfacesMutex);
  return gPrimary != nullptr;
}

}  // namespace kaze::platform
