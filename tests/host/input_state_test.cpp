#ifdef KAZE_HAVE_SDL
#include "host/input_state.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

constexpr uint32_t kLeft = 0x01, kSpace = 0x20;

// A held button is down at every poll; a tap between two polls (a touchpad
// click lasts a few ms) is seen down once, then up: not lost, not held.
TEST(InputState, AHeldButtonIsDownAtEveryPollATapOnceThenUp) {
  InputState input;
  EXPECT_FALSE(input.IsKeyDown(kLeft));
  input.SetKey(kLeft, true);
  for (int frame = 0; frame < 3; ++frame) EXPECT_TRUE(input.IsKeyDown(kLeft));
  input.SetKey(kLeft, false);
  EXPECT_FALSE(input.IsKeyDown(kLeft));
  input.SetKey(kLeft, true);
  input.SetKey(kLeft, false);
  EXPECT_TRUE(input.IsKeyDown(kLeft));
  EXPECT_FALSE(input.IsKeyDown(kLeft));
  EXPECT_FALSE(input.IsKeyDown(kSpace));  // other keys keep their own record
}

TEST(InputState, LosingFocusReleasesEveryKeyAndOutOfRangeCodesAreUp) {
  InputState input;
  input.SetKey(kSpace, true);
  EXPECT_TRUE(input.IsKeyDown(kSpace));
  input.ReleaseAllKeys();
  EXPECT_FALSE(input.IsKeyDown(kSpace));
  input.SetKey(300, true);
  EXPECT_FALSE(input.IsKeyDown(300));
}

TEST(InputState, CursorKeepsNegativeAndLargePositionsWhole) {
  InputState input;
  input.SetCursor(-107, 1000);
  int32_t x = 0, y = 0;
  input.Cursor(x, y);
  EXPECT_EQ(x, -107);
  EXPECT_EQ(y, 1000);
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
