// Where the 640x480 picture lies in a window or on a screen of another size,
// and the way back from a window position to a 640x480 screen position.
#pragma once

#include <cstdint>

namespace kaze::host {

struct ViewRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// How the picture is enlarged onto the window or the screen.
//   Sharp:   nearest neighbour by the largest whole factor that fits the
//            aspect-kept view, then bilinear to the view's size: every
//            source pixel gets the same share of the screen, and edges are
//            at most one screen pixel soft.
//   Pixel:   the largest whole multiple that fits, centred, black around.
//   Nearest: nearest neighbour straight to the aspect-kept view; at a
//            factor that is not whole, rows and columns differ in size.
enum class ScalingMode { Sharp, Pixel, Nearest };

// The picture scaled to fit the output with its aspect kept, centred, black
// bars filling the rest. A window of a whole multiple of 640x480 is filled
// exactly, every pixel a square block.
ViewRect FitPicture(int32_t outputWidth, int32_t outputHeight);

// The picture's rectangle in the output for a mode: FitPicture for sharp
// and nearest; for pixel the largest whole multiple of 640x480, centred
// (FitPicture again when not even 640x480 fits, rather than cut it).
ViewRect ViewFor(ScalingMode mode, int32_t outputWidth, int32_t outputHeight);

// Sharp: the whole factor of the nearest-neighbour step for a view, the
// largest that fits inside it (at least 1).
int32_t SharpStepFactor(const ViewRect& view);

// The largest whole multiple of 640x480 that fits inside the given area
// (at least 1).
int32_t LargestWholeScale(int32_t areaWidth, int32_t areaHeight);

// A window position to a 640x480 screen position. Positions over the bars
// lie outside 0..639 and 0..479.
void WindowToScreen(const ViewRect& view, int32_t windowX, int32_t windowY, int32_t& x, int32_t& y);

// The way there: the window position in the middle of a 640x480 screen
// pixel, which WindowToScreen maps back to that pixel (in a view at least
// 640x480 large).
void ScreenToWindow(const ViewRect& view, int32_t x, int32_t y, int32_t& windowX, int32_t& windowY);

}  // namespace kaze::host
