// IDirectDrawSurface::GetDC and ReleaseDC: a GDI context over the surface's
// own pixels, one at a time.
#include <ddraw.h>

#include "platform/ddraw/ddraw_internal.h"
#include "platform/setup/faults.h"
#include "platform/gdi32/gdi_objects.h"

HRESULT kaze::platform::DirectDrawSurface::GetDC(HDC* dc) {
  if (dc == nullptr) return DDERR_INVALIDPARAMS;
  *dc = nullptr;
  if (auto fault = kaze::platform::CheckFault("IDirectDrawSurface::GetDC")) return static_cast<HRESULT>(*fault);
  if (state.lost) return DDERR_SURFACELOST;
  if (state.dc != nullptr) return DDERR_DCALREADYCREATED;
  if (state.lockCount > 0) return DDERR_SURFACEBUSY;
  state.dc = kaze::platform::NewSurfaceDC(this);
  kaze::platform::NoteSurfaceWrite();
  *dc = state.dc;
  return DD_OK;
}

HRESULT kaze::platform::DirectDrawSurface::ReleaseDC(HDC dc) {
  if (dc == nullptr || dc != state.dc) return DDERR_NODC;
  kaze::platform::DeleteSurfaceDC(dc);
  state.dc = nullptr;
  kaze::platform::NoteSurfaceWrite();
  return DD_OK;
}
