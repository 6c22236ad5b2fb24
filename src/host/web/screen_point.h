// Where a pointer on the scaled canvas is on the 640x480 screen.
#pragma once

#include <cstdint>

namespace kaze::host {

// The canvas's box in the page, in CSS pixels.
struct CanvasBox {
  double left = 0, top = 0, width = 0, height = 0;
};

// The screen pixel under the page position (x, y); a position outside the
// canvas is held to its nearest edge, as a captured mouse is on Windows.
void PageToScreen(const CanvasBox& box, double x, double y, int32_t& screenX, int32_t& screenY);

}  // namespace kaze::host
