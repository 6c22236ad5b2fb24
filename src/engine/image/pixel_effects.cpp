// The dimmed and blended draws and the darkening, on locked surfaces. The
// per-pixel work is in image/pixel_kernels.h; here are the clipping to the
// client rectangle, the locks and the walk over the rows.
#include "image/pixel_effects.h"

#include <algorithm>

#include "display/display_device.h"
#include "image/drawing.h"
#include "image/pixel_kernels.h"
#include "shell/shared_flags.h"

namespace {

ChannelLayout LayoutOf(const DisplayDevice& device) {
  return ChannelLayout{device.redShift, device.greenShift, device.blueShift, device.redMax,
                       device.greenMax, device.blueMax,    device.halfMask};
}

// Which source pixels land where: target pixel (x + i, y + j) takes source
// pixel (sx + i, sy + j) for i < width, j < height.
struct PixelCopy {
  int64_t x, y, sx, sy, width, height;
};

// Cuts the copy of a slot's picture at (x, y) to the client rectangle.
// False when nothing is left (a negative width or height).
bool ClipToClient(const DisplayDevice& device, const RECT& sourceRect, int32_t x, int32_t y, PixelCopy* copy) {
  PixelCopy c{x,
              y,
              sourceRect.left,
              sourceRect.top,
              int64_t{sourceRect.right} - sourceRect.left,
              int64_t{sourceRect.bottom} - sourceRect.top};
  if (c.x + c.width > device.clientRight) c.width = device.clientRight - c.x;
  if (c.y + c.height > device.clientBottom) c.height = device.clientBottom - c.y;
  if (c.x < device.clientLeft) {
    const int64_t cut = device.clientLeft - c.x;
    c.sx += cut;
    c.width -= cut;
    c.x = device.clientLeft;
  }
  if (c.y < device.clientTop) {
    const int64_t cut = device.clientTop - c.y;
    c.sy += cut;
    c.height -= cut;
    c.y = device.clientTop;
  }
  *copy = c;
  return c.width >= 0 && c.height >= 0;
}

// Keeps a copy inside both locked surfaces, whatever the client rectangle
// and the slot's rectangle claim.
void KeepInside(const DDSURFACEDESC& target, const DDSURFACEDESC& source, PixelCopy* c) {
  if (c->x < 0 || c->y < 0 || c->sx < 0 || c->sy < 0) {
    c->width = c->height = 0;
    return;
  }
  c->width = std::min({c->width, int64_t{target.dwWidth} - c->x, int64_t{source.dwWidth} - c->sx});
  c->height = std::min({c->height, int64_t{target.dwHeight} - c->y, int64_t{source.dwHeight} - c->sy});
}

uint16_t* PixelAt(const DDSURFACEDESC& desc, int64_t x, int64_t y) {
  return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch) + x;
}

bool LockWhole(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
  *desc = DDSURFACEDESC{};
  desc->dwSize = sizeof *desc;
  return surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr) == DD_OK;
}

// Clips, locks the slot's surface and then the target, runs `row` over
// each row of the copy (target row, source row, pixel count), and unlocks
// in the same order.
template <typename RowOperation>
int CopyThroughLocks(DisplayDevice& device, IDirectDrawSurface* target, int slot, int32_t x, int32_t y,
                     RowOperation row) {
  if (slot < 0 || slot >= kSlotCount || target == nullptr) return 0;
  const ImageSlot& entry = device.slots[slot];
  if (entry.surface == nullptr) return 0;  // an empty slot draws nothing
  PixelCopy copy{};
  if (!ClipToClient(device, entry.sourceRect, x, y, &copy)) return 1;

  DDSURFACEDESC source, destination;
  if (!LockWhole(entry.surface, &source)) return 0;
  if (!LockWhole(target, &destination)) {
    entry.surface->Unlock(source.lpSurface);
    return 0;
  }
  KeepInside(destination, source, &copy);
  for (int64_t j = 0; j < copy.height; ++j)
    row(PixelAt(destination, copy.x, copy.y + j), PixelAt(source, copy.sx, copy.sy + j),
        static_cast<int32_t>(copy.width));
  entry.surface->Unlock(source.lpSurface);
  target->Unlock(destination.lpSurface);
  return 1;
}

}  // namespace

int DisplayDevice::DrawDimmed(IDirectDrawSurface* target, int slot, int x, int y) {
  const auto halfMask = static_cast<uint16_t>(this->halfMask);
  return CopyThroughLocks(*this, target, slot, x, y, [halfMask](uint16_t* to, const uint16_t* from, int32_t count) {
    DimRow(to, from, count, halfMask);
  });
}

int DisplayDevice::DrawBlended(IDirectDrawSurface* target, int slot, int x, int y, float alpha) {
  const ChannelLayout layout = LayoutOf(*this);
  const BlendTable table = MakeBlendTable(alpha);
  return CopyThroughLocks(*this, target, slot, x, y, [&](uint16_t* to, const uint16_t* from, int32_t count) {
    BlendRow(to, from, count, layout, table);
  });
}

int DisplayDevice::DarkenWorkRect(int x, int y, int width, int height, int level) {
  const int64_t left = std::max<int64_t>(x, clientLeft);
  const int64_t top = std::max<int64_t>(y, clientTop);
  int64_t right = std::min<int64_t>(int64_t{x} + width, clientRight);
  int64_t bottom = std::min<int64_t>(int64_t{y} + height, clientBottom);
  if (right < left || bottom < top) return 1;
  if (workSurface == nullptr) return 0;

  DDSURFACEDESC work;
  if (!LockWhole(workSurface, &work)) return 0;
  if (left >= 0 && top >= 0) {
    right = std::min<int64_t>(right, work.dwWidth);
    bottom = std::min<int64_t>(bottom, work.dwHeight);
    const ChannelLayout layout = LayoutOf(*this);
    for (int64_t row = top; row < bottom; ++row)
      if (right > left) DarkenRow(PixelAt(work, left, row), static_cast<int32_t>(right - left), layout, level);
  }
  workSurface->Unlock(work.lpSurface);
  return 1;
}

void DrawImageDimmed(int32_t slot, int32_t x, int32_t y) {
  if (DisplayDevice* device = TheDisplay.load()) device->DrawDimmed(DrawTarget(), slot, x, y);
}

void DrawImageBlended(int32_t slot, int32_t x, int32_t y, float alpha) {
  if (DisplayDevice* device = TheDisplay.load()) device->DrawBlended(DrawTarget(), slot, x, y, alpha);
}
