// Where the 640x480 picture lies in a window or on a screen of another size,
// and the way back from a window position to a 640x480 screen position.
#pragma once

#include <cstdint>

namespace kaze::host {

struct ViewRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// The picture scaled to fit the output with its aspect kept, centred, black
// bars filling the rest. A window of a whole multiple of 640x480 is filled
// exactly, every pixel a square block.
ViewRect FitPicture(int32_t outputWidth, int32_t outputHeight);

// The largest whole multiple of 640x480 that fits inside the given area
// (at least 1).
int32_t LargestWholeScale(int32_t areaWidth, int32_t areaHeight);

// A window position to a 640x480 screen position. Positions over the bars
// lie outside 0..639 and 0..479.
void WindowToScreen(const ViewRect& view, int32_t windowX, int32_t windowY, int32_t& x, int32_t& y);

}  // namespace kaze::host
