// The text lines of a page: one after another at their delays and speeds,
// faster only while the space bar or the right button is held; next and
// back dead until the page is complete.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "support/story_fixture.h"

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

TEST_F(StoryLines, ReleasingTheSpaceBarBringsTheNormalPaceBackAtOnce) {
  TempDir dir;
  WriteStoryData(dir.path());
  const uint16_t line = To565(kLineColour);
  // Line 1 waits 20 fast frames and shows 6 rows in frame 21, 11 in 22.
  struct Case {
    int normalFrom;                  // the first frame that sees the bar up
    int line1Complete, line2Starts;  // its 20th row; line 2's first rows
  };
  const Case cases[] = {
      {31, 24, 64},  // line 1 done fast; line 2 waits 7 frames fast (35), then 65 at 2 a frame
      {23, 27, 77},  // line 1 on at 2 rows a frame from 11; line 2's whole wait at 2 a frame
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.normalFrom);
    const std::string script = "0 key down SPACE\n" + std::to_string(FrameTime(c.normalFrom) - 10) + " key up SPACE\n";
    ASSERT_EQ(PlayStory(dir.path(), script, 2500, StandardProbes()), 0);
    EXPECT_EQ(FirstShowing(kLine1Top, line), FrameTime(21));
    EXPECT_EQ(FirstShowing(kLine1Bottom, line), FrameTime(c.line1Complete));
    EXPECT_EQ(FirstShowing(kLine2Top, line), FrameTime(c.line2Starts));
  }
}

struct LineSpec {
  int32_t x, y, speed, delay;
};
struct PageLines {
  int32_t page;
  std::vector<LineSpec> lines;
};

// Pages 2 to 7 as designed: where each line stands, how many rows a frame
// it unrolls and how long it waits (2 a frame) after the line before.
const PageLines kPageLines[] = {
    {2, {{163, 32, 2, 100}, {133, 32, 2, 100}, {103, 31, 2, 100}, {74, 32, 2, 100}, {45, 32, 2, 50}}},
    {3, {{577, 32, 2, 50}, {550, 32, 2, 50}, {519, 32, 2, 50}}},
    {5, {{580, 32, 2, 50}, {551, 32, 2, 50}}},
    {6, {{71, 32, 2, 50}, {45, 32, 2, 50}}},
    {7, {{584, 203, 2, 200}, {554, 203, 2, 50}, {523, 203, 2, 50}, {462, 203, 2, 50}, {432, 203, 2, 50}}},
};

TEST_F(StoryLines, EveryLineOfPagesTwoToSevenStandsWaitsAndUnrollsAsItsPageDefinesIt) {
  TempDir dir;
  WriteStoryData(dir.path());
  // Each line: its top-left pixel, its bottom-right one, and the pixels
  // left of and above its corner, which it never covers.
  std::vector<Probe> probes = StandardProbes();
  for (const PageLines& page : kPageLines)
    for (const LineSpec& l : page.lines)
      probes.insert(probes.end(), {{l.x, l.y}, {l.x + 23, l.y + kLineHeight - 1}, {l.x - 1, l.y}, {l.x, l.y - 1}});
  // Next clicked all along at the normal pace: each page turns once its
  // last line is complete.
  std::string script;
  for (int t = 3000; t < 26000; t += 200) script += std::to_string(t) + " click left 580 465\n";
  ASSERT_EQ(PlayStory(dir.path(), script, 26000, probes), 0);

  const uint16_t line = To565(kLineColour);
  size_t probe = kProbeCount, full = FirstFullFlip(kPageLines[0].page);
  for (size_t k = 0; k < std::size(kPageLines); ++k) {
    const PageLines& page = kPageLines[k];
    SCOPED_TRACE(page.page);
    // The page loads in the frame 17 before it first shows at full
    // brightness, and is shown until the next one is.
    ASSERT_LT(full, frames.size());
    const uint64_t loaded = frames[full].t - 17 * 20;
    const size_t end = k + 1 < std::size(kPageLines) ? FirstFullFlip(kPageLines[k + 1].page, full) : frames.size();
    auto firstShowing = [&](size_t p) {
      for (size_t i = FlipAt(loaded); i < end; ++i)
        if (frames[i].pixels[p] == line) return frames[i].t - loaded;
      return uint64_t{0};
    };
    // Line i starts unrolling delay / 2 frames after line i - 1 completed
    // (line 1: after the page loaded) and completes when its rows, from 1,
    // reach its height.
    uint64_t waitFrom = 0;
    for (const LineSpec& l : page.lines) {
      SCOPED_TRACE(l.x);
      const uint64_t unrolls = waitFrom + l.delay / 2;
      const uint64_t completes = unrolls + (kLineHeight - 1 + l.speed - 1) / l.speed - 1;
      EXPECT_EQ(firstShowing(probe), 20 * unrolls);
      EXPECT_EQ(firstShowing(probe + 1), 20 * completes);
      EXPECT_EQ(firstShowing(probe + 2), 0u);
      EXPECT_EQ(firstShowing(probe + 3), 0u);
      waitFrom = completes;
      probe += 4;
    }
    full = end;
  }
}

}  // namespace
}  // namespace kaze::test
