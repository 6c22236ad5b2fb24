#include "host/sdl/view_fit.h"

#include <algorithm>
#include <cmath>

#include "host/host.h"

namespace kaze::host {

ViewRect FitPicture(int32_t outputWidth, int32_t outputHeight) {
  ViewRect view;
  if (outputWidth <= 0 || outputHeight <= 0) return view;
  // Compare the two aspect ratios exactly in integers: the narrower side
  // decides the scale.
  if (int64_t{outputWidth} * kScreenHeight <= int64_t{outputHeight} * kScreenWidth) {
    view.width = outputWidth;
    view.height = int32_t(int64_t{outputWidth} * kScreenHeight / kScreenWidth);
  } else {
    view.height = outputHeight;
    view.width = int32_t(int64_t{outputHeight} * kScreenWidth / kScreenHeight);
  }
  view.x = (outputWidth - view.width) / 2;
  view.y = (outputHeight - view.height) / 2;
  return view;
}

int32_t LargestWholeScale(int32_t areaWidth, int32_t areaHeight) {
  return std::max<int32_t>(1, std::min(areaWidth / kScreenWidth, areaHeight / kScreenHeight));
}

ViewRect ViewFor(ScalingMode mode, int32_t outputWidth, int32_t outputHeight) {
  if (mode != ScalingMode::Pixel || outputWidth < kScreenWidth || outputHeight < kScreenHeight)
    return FitPicture(outputWidth, outputHeight);
  const int32_t scale = LargestWholeScale(outputWidth, outputHeight);
  ViewRect view{0, 0, kScreenWidth * scale, kScreenHeight * scale};
  view.x = (outputWidth - view.width) / 2;
  view.y = (outputHeight - view.height) / 2;
  return view;
}

int32_t SharpStepFactor(const ViewRect& view) { return LargestWholeScale(view.width, view.height); }

namespace {
// Rounds down, also for positions left of or above the picture.
int32_t MapAxis(int32_t position, int32_t origin, int32_t extent, int32_t screenExtent) {
  if (extent <= 0) return 0;
  const int64_t scaled = int64_t{position - origin} * screenExtent;
  return int32_t(scaled >= 0 ? scaled / extent : -((-scaled + extent - 1) / extent));
}
}  // namespace

void WindowToScreen(const ViewRect& view, int32_t windowX, int32_t windowY, int32_t& x, int32_t& y) {
  x = MapAxis(windowX, view.x, view.width, kScreenWidth);
  y = MapAxis(windowY, view.y, view.height, kScreenHeight);
}

void ScreenToWindow(const ViewRect& view, int32_t x, int32_t y, int32_t& windowX, int32_t& windowY) {
  windowX = view.x + int32_t((int64_t{2} * x + 1) * view.width / (2 * kScreenWidth));
  windowY = view.y + int32_t((int64_t{2} * y + 1) * view.height / (2 * kScreenHeight));
}

}  // namespace kaze::host
