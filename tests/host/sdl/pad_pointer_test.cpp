// The controller's pointer apart from SDL: the motion law (dead zone, speed
// growing with the push, a full push across the screen in a second), the
// steps driven by time and kept inside the screen, and the shoulder
// buttons' points against the engine's control bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "game/control_bar.h"
#include "host/null_host.h"
#include "host/sdl/pad_pointer.h"
#include "host/sdl/view_fit.h"

namespace kaze::host {
namespace {

// Advances the pointer every `stepMs` from `startMs` for `ms`; where it ends.
PadPoint Hold(PadPointer& pointer, PadDeflection push, uint32_t startMs, uint32_t ms, uint32_t stepMs = 1) {
  int32_t x = -1, y = -1;
  for (uint32_t t = startMs; t - startMs <= ms; t += stepMs) pointer.Advance(push, t, x, y);
  return {x, y};
}

TEST(PadMotionLaw, NothingInTheDeadZoneThenFasterWithThePushAndFullSpeedAtTheEdge) {
  for (double small : {0.0, 0.1, 0.19, 0.2}) {
    EXPECT_EQ(PadMotionLaw::Velocity({small, 0}).x, 0) << small;
    EXPECT_EQ(PadMotionLaw::Velocity({0.14, -0.14}).y, 0);  // the zone is round: 0.198 from the centre
  }
  double last = 0;
  for (double push = 0.25; push <= 1.0; push += 0.05) {
    const double speed = PadMotionLaw::Velocity({push, 0}).x;
    EXPECT_GT(speed, last) << push;
    last = speed;
  }
  EXPECT_DOUBLE_EQ(PadMotionLaw::Velocity({1, 0}).x, PadMotionLaw::kFullSpeed);
  EXPECT_DOUBLE_EQ(PadMotionLaw::Velocity({0, -1}).y, -PadMotionLaw::kFullSpeed);
  EXPECT_DOUBLE_EQ(PadMotionLaw::Velocity({2, 0}).x, PadMotionLaw::kFullSpeed);  // two pads pushed: no faster
  // A diagonal keeps its direction and the speed of its distance.
  const PadDeflection diagonal = PadMotionLaw::Velocity({1, 1});
  EXPECT_NEAR(diagonal.x, diagonal.y, 1e-9);
  EXPECT_NEAR(std::hypot(diagonal.x, diagonal.y), PadMotionLaw::kFullSpeed, 1e-9);
  // The d-pad is a full push, diagonals too; opposite directions cancel.
  EXPECT_DOUBLE_EQ(PadMotionLaw::Velocity(PadMotionLaw::DpadDeflection(false, true, false, false)).x, 640);
  const PadDeflection upLeft = PadMotionLaw::DpadDeflection(true, false, true, false);
  EXPECT_NEAR(std::hypot(upLeft.x, upLeft.y), 1.0, 1e-9);
  EXPECT_LT(upLeft.x, 0);
  EXPECT_LT(upLeft.y, 0);
  EXPECT_EQ(PadMotionLaw::DpadDeflection(true, true, false, false).x, 0);
}

// The distance depends on the time held, not on how often the loop turns.
TEST(PadPointer, AFullPushCrossesTheScreenInASecondWhateverTheLoopsPaceAndStopsAtItsEdges) {
  for (uint32_t stepMs : {1u, 3u, 10u, 16u}) {
    PadPointer pointer;
    pointer.Place(0, 240);
    const PadPoint half = Hold(pointer, {1, 0}, 1000, 500, stepMs);
    EXPECT_NEAR(half.x, 320, 18) << stepMs;
    EXPECT_EQ(half.y, 240);
    const PadPoint end = Hold(pointer, {1, 0}, 1500 + stepMs, 600, stepMs);
    EXPECT_EQ(end.x, 639) << stepMs;
  }
  PadPointer pointer;
  pointer.Place(5, 5);
  EXPECT_EQ(Hold(pointer, {-1, -1}, 0, 200).x, 0);
  EXPECT_EQ(Hold(pointer, {0, 1}, 300, 2000).y, 479);
  pointer.Place(700, -3);  // a mouse over the bars: the pad moves on from the nearest edge
  EXPECT_EQ(Hold(pointer, {0, 1}, 3000, 100).x, 639);
}

TEST(PadPointer, TimeCountsFromThePushASlowPushStillMovesAndAStalledLoopDoesNotLeap) {
  PadPointer pointer;
  pointer.Place(100, 100);
  int32_t x = 0, y = 0;
  EXPECT_FALSE(pointer.Advance({0, 0}, 0, x, y));
  EXPECT_FALSE(pointer.Advance({1, 0}, 5000, x, y));  // the idle time before the push is not motion
  EXPECT_FALSE(pointer.Advance({1, 0}, 5005, x, y));  // nor is less than a step
  EXPECT_TRUE(pointer.Advance({1, 0}, 5010, x, y));
  EXPECT_EQ(x, 106);  // 10 ms at 640 pixels a second
  EXPECT_TRUE(pointer.Advance({1, 0}, 9000, x, y));
  EXPECT_EQ(x, 106 + 32);  // a loop held for seconds moves the pointer one longest step
  EXPECT_TRUE(pointer.Moving());
  EXPECT_FALSE(pointer.Advance({0.05, 0}, 9010, x, y));
  EXPECT_FALSE(pointer.Moving());

  // Just past the dead zone: under a pixel a step, whole pixels over time.
  pointer.Place(300, 300);
  const PadPoint slow = Hold(pointer, {0.3, 0}, 10000, 1000);
  EXPECT_GT(slow.x, 300);
  EXPECT_LT(slow.x, 320);
}

// The warp's way there and the mouse's way back meet on the same pixel.
TEST(PadPointer, TheWarpTargetMapsBackToTheSamePixelInEveryView) {
  for (const ViewRect& view : {ViewRect{0, 0, 640, 480}, ViewRect{0, 0, 1280, 960}, ViewRect{240, 0, 1440, 1080},
                               ViewRect{107, 0, 1066, 800}}) {
    for (const PadPoint& p : {PadPoint{0, 0}, PadPoint{639, 479}, kNextButtonPoint, PadPoint{321, 17}}) {
      int32_t windowX = 0, windowY = 0, x = -1, y = -1;
      ScreenToWindow(view, p.x, p.y, windowX, windowY);
      WindowToScreen(view, windowX, windowY, x, y);
      EXPECT_EQ(x, p.x) << view.width;
      EXPECT_EQ(y, p.y) << view.width;
    }
  }
}

// The shoulder buttons' points lie on the buttons the engine hit-tests.
TEST(PadPointer, TheShoulderPointsHitTheControlBarsBackAndNext) {
  class PointerAt final : public NullHost {
   public:
    void CursorPos(int32_t& px, int32_t& py) override { px = x, py = y; }
    int32_t x = 0, y = 0;
  } pointer;
  SetHost(&pointer);
  pointer.x = kBackButtonPoint.x, pointer.y = kBackButtonPoint.y;
  EXPECT_EQ(HitTestControlBar(), kBackButton);
  pointer.x = kNextButtonPoint.x, pointer.y = kNextButtonPoint.y;
  EXPECT_EQ(HitTestControlBar(), kNextButton);
  SetHost(nullptr);
}

}  // namespace
}  // namespace kaze::host
