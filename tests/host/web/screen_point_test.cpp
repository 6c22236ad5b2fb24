// The page's pointer positions as the program sees them, on a canvas of
// any size.
#include "host/web/screen_point.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

TEST(WebPointer, ScaledCanvasMapsBackTo640x480AndHoldsOutsidePointsToTheEdge) {
  const CanvasBox box{.left = 80, .top = 10, .width = 1280, .height = 960};
  int32_t x = -1, y = -1;
  PageToScreen(box, 80, 10, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  PageToScreen(box, 80 + 1176 + 1.9, 10 + 930, x, y);  // "next" at 588,465 on a doubled canvas
  EXPECT_EQ(x, 588);
  EXPECT_EQ(y, 465);
  PageToScreen(box, 80 + 1280, 10 + 960, x, y);  // the far edge is the last pixel
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  PageToScreen(box, 0, 5000, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 479);
  PageToScreen(CanvasBox{}, 100, 100, x, y);  // not laid out yet
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

}  // namespace
}  // namespace kaze::host
