// The text lines of a page: one after another at their delays and speeds,
// faster only while the space bar or the right button is held; next and
// back dead until the page is complete.
#include <gtest/gtest.h>

#include "story/story_fixture.h"

namespace kaze::test {
namespace {

class StoryLines : public StoryTest {
 protected:
  // The time of the first flip at or after `from` whose probe shows `pixel`.
  uint64_t FirstShowing(ProbeIndex probe, uint16_t pixel, uint64_t from = 0) {
    for (const FlipRecord& f : frames)
      if (f.t >= from && f.pixels[probe] == pixel) return f.t;
    return 0;
  }
  uint16_t At(uint64_t t, ProbeIndex probe) { return frames.at(FlipAt(t)).pixels[probe]; }
};

TEST_F(StoryLines, UnrollOneAfterAnotherAndTheButtonsWaitForTheLastLine) {
  TempDir dir;
  WriteStoryData(dir.path());
  // Clicks on next and back before the page is complete, and on back after.
  const std::string script =
      "2000 click left 580 465\n"
      "4100 click left 580 465\n"
      "4400 click left 510 465\n";
  ASSERT_EQ(PlayStory(dir.path(), script, 5000, StandardProbes()), 0);
  const uint16_t line = To565(kLineColour);

  // The page fades in over 17 frames: full brightness in frame 17.
  EXPECT_EQ(FirstShowing(kPage, To565(PageColour(1))), FrameTime(17));
  EXPECT_EQ(DarkeningOf(At(FrameTime(2), kPage)), 30);
  // Line 1 waits 50 frames (delay 100, 2 a frame), unrolls 2 rows a frame
  // from its second row in frame 51 to its last in frame 60; line 2 then
  // waits its own 50 frames, and line 3 likewise.
  EXPECT_EQ(FirstShowing(kLine1Top, line), FrameTime(51));
  EXPECT_EQ(FirstShowing(kLine1Bottom, line), FrameTime(60));
  EXPECT_EQ(FirstShowing(kLine2Top, line), FrameTime(110));
  // Next stays dimmed and dead until the last line is complete in frame
  // 178: the click released in that very frame did nothing, and the bar,
  // drawn before the lines, shows it live (and hot under the pointer) in
  // the next frame. Back stays dimmed on page 1.
  EXPECT_EQ(At(FrameTime(178), kNextCorner), Dimmed565(BarColour(22)));
  EXPECT_EQ(FirstShowing(kNextCorner, To565(BarColour(23))), FrameTime(179));
  EXPECT_EQ(At(4990, kBackCorner), Dimmed565(BarColour(20)));
  EXPECT_EQ(At(4990, kPage), To565(PageColour(1)));  // no page turn happened
}

TEST_F(StoryLines, HeldSpaceOrRightButtonSpeedsThemAndReleasingSlowsThemAtOnce) {
  TempDir dir;
  WriteStoryData(dir.path());
  const uint16_t line = To565(kLineColour);

  // Right button held until frame 30: line 1 waits 20 frames (5 a frame)
  // and unrolls 5 rows a frame; line 2's wait goes fast for frames 24 to 30
  // (100 - 35) and then at 2 a frame again: unrolling from frame 64.
  ASSERT_EQ(PlayStory(dir.path(), "0 down right\n" + std::to_string(FrameTime(31) - 10) + " up right\n", 2500,
                      StandardProbes()),
            0);
  EXPECT_EQ(FirstShowing(kLine1Top, line), FrameTime(21));
  EXPECT_EQ(FirstShowing(kLine1Bottom, line), FrameTime(24));
  EXPECT_EQ(FirstShowing(kLine2Top, line), FrameTime(64));

  // The space bar held for the whole page: complete in frame 70, next live
  // on screen from frame 71.
  ASSERT_EQ(PlayStory(dir.path(), "0 key down SPACE\n", 2500, StandardProbes()), 0);
  EXPECT_EQ(FirstShowing(kLine1Top, line), FrameTime(21));
  EXPECT_EQ(FirstShowing(kNextCorner, To565(BarColour(22))), FrameTime(71));
}

}  // namespace
}  // namespace kaze::test
