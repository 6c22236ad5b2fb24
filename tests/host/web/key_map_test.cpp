// The page's input as the program sees it: keys by place and by print, and
// pointer positions on a canvas of any size.
#include <gtest/gtest.h>

#include "host/web/key_map.h"
#include "host/web/screen_point.h"

namespace kaze::host {
namespace {

TEST(WebKeys, StoryKeysByPlaceLettersByPrintBrowserKeysKept) {
  EXPECT_EQ(VirtualKeyOfDomKey("Escape", "Escape"), 0x1Bu);
  EXPECT_EQ(VirtualKeyOfDomKey("Space", " "), 0x20u);
  EXPECT_EQ(VirtualKeyOfDomKey("NumpadEnter", "Enter"), 0x0Du);
  EXPECT_EQ(VirtualKeyOfDomKey("F4", "F4"), 0x73u);
  EXPECT_EQ(VirtualKeyOfDomKey("F6", "F6"), 0x75u);
  EXPECT_EQ(VirtualKeyOfDomKey("F10", "F10"), 0x79u);
  // A French keyboard's "A" sits where a US keyboard has "Q".
  EXPECT_EQ(VirtualKeyOfDomKey("KeyQ", "a"), uint32_t('A'));
  EXPECT_EQ(VirtualKeyOfDomKey("KeyQ", "Q"), uint32_t('Q'));
  EXPECT_EQ(VirtualKeyOfDomKey("Digit7", "7"), uint32_t('7'));
  // Full screen and the developer tools stay the browser's; unknown keys
  // reach nothing.
  EXPECT_EQ(VirtualKeyOfDomKey("F11", "F11"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("F12", "F12"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("Quote", "'"), 0u);
  EXPECT_EQ(VirtualKeyOfDomKey("", ""), 0u);

  EXPECT_TRUE(IsDomSystemKey("AltLeft", false));
  EXPECT_TRUE(IsDomSystemKey("F10", false));
  EXPECT_TRUE(IsDomSystemKey("F4", true));
  EXPECT_FALSE(IsDomSystemKey("F4", false));
}

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
