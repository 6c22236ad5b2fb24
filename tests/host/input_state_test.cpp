#ifdef KAZE_HAVE_SDL
#include "host/input_state.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

constexpr uint32_t kLeft = 0x01, kSpace = 0x20;

// A held button is down at every poll. A tap reads down to every query for
// a short while from its press (the story asks twice in a row), then up:
// not lost between two polls, never held for a later one.
TEST(InputState, AHeldButtonIsDownAtEveryPollATapForItsTimeThenUp) {
  InputState input;
  constexpr uint32_t t = 0xFFFFFFF0u;  // the tick count wraps during the tap
  EXPECT_FALSE(input.IsKeyDown(kLeft, t));
  input.SetKey(kLeft, true, t);
  for (uint32_t frame = 0; frame < 3; ++frame) EXPECT_TRUE(input.IsKeyDown(kLeft, t + 20 * frame));
  input.SetKey(kLeft, false, t + 60);
  EXPECT_FALSE(input.IsKeyDown(kLeft, t + 61));  // a long press ends when released

  input.SetKey(kLeft, true, t + 100);
  input.SetKey(kLeft, false, t + 103);
  EXPECT_TRUE(input.IsKeyDown(kLeft, t + 110));
  EXPECT_TRUE(input.IsKeyDown(kLeft, t + 110));
  EXPECT_TRUE(input.IsKeyDown(kLeft, t + 100 + InputState::kTapMs - 1));
  EXPECT_FALSE(input.IsKeyDown(kLeft, t + 100 + InputState::kTapMs));
  EXPECT_FALSE(input.IsKeyDown(kSpace, t + 110));  // other keys keep their own record

  input.SetKey(kLeft, true, t + 200);  // a click first asked about long after
  input.SetKey(kLeft, false, t + 300);
  EXPECT_FALSE(input.IsKeyDown(kLeft, t + 3200));
}

TEST(InputState, LosingFocusReleasesEveryKeyAndOutOfRangeCodesAreUp) {
  InputState input;
  input.SetKey(kSpace, true, 0);
  EXPECT_TRUE(input.IsKeyDown(kSpace, 1));
  input.ReleaseAllKeys();
  EXPECT_FALSE(input.IsKeyDown(kSpace, 2));
  input.SetKey(kLeft, true, 10);
  input.SetKey(kLeft, false, 11);
  input.ReleaseAllKeys();
  EXPECT_FALSE(input.IsKeyDown(kLeft, 12));
  input.SetKey(300, true, 0);
  EXPECT_FALSE(input.IsKeyDown(300, 1));
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
