#include "host/web/screen_point.h"

#include <algorithm>
#include <cmath>

#include "host/host.h"

namespace kaze::host {

namespace {

int32_t ToScreen(double offset, double extent, int32_t pixels) {
  if (!(extent > 0)) return 0;  // also NaN: a canvas not laid out yet
  const double at = std::floor(offset * pixels / extent);
  return int32_t(std::clamp(at, 0.0, double(pixels - 1)));
}

}  // namespace

void PageToScreen(const CanvasBox& box, double x, double y, int32_t& screenX, int32_t& screenY) {
  screenX = ToScreen(x - box.left, box.width, kScreenWidth);
  screenY = ToScreen(y - box.top, box.height, kScreenHeight);
}

}  // namespace kaze::host
