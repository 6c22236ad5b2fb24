// Past the last page: the bar fades out and the information screen plays
// its frames whatever the player does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/story_fixture.h"
#include "support/teardown.h"

namespace kaze::test {
namespace {

class StoryEnd : public StoryTest {};

TEST_F(StoryEnd, PastPageSevenTheBarFadesOutAndTheInformationScreenCannotBeSkipped) {
  TempDir dir;
  WriteStoryData(dir.path());
  // Space held; next clicked every half second until well into the
  // information screen, the right button too.
  std::string script = "0 key down SPACE\n";
  for (int t = 1990; t < 30000; t += 500) {
    script += std::to_string(t) + " click left 580 465\n";
    if (t > 12000) script += std::to_string(t + 250) + " click right 300 300\n";
  }
  ASSERT_EQ(PlayStory(dir.path(), script, 33000, StandardProbes()), 0);

  // The bar darkens one level a frame over 32 frames, from the first frame
  // after the story ended, while the picture area stays black.
  const uint16_t quit = To565(BarColour(33));
  size_t bar = frames.size();
  while (bar > 0 && frames[bar - 1].pixels[kPage] != To565(PageColour(7))) --bar;  // after the last page
  ASSERT_GT(bar, 0u);
  while (bar < frames.size() && frames[bar].pixels[kQuitCorner] != Darken565(quit, 1)) ++bar;
  ASSERT_LT(bar + 32, frames.size());
  for (int32_t level = 1; level <= 32; ++level) {
    EXPECT_EQ(frames[bar + level - 1].pixels[kQuitCorner], Darken565(quit, level)) << level;
    EXPECT_EQ(frames[bar + level - 1].pixels[kPage], 0) << level;
  }
  // Then the pointer is hidden for the information screen.
  const std::vector<TraceLine> cursor = TraceOf("cursor");
  ASSERT_FALSE(cursor.empty());
  EXPECT_FALSE(cursor[0].Bool("shown"));
  EXPECT_GE(static_cast<uint64_t>(cursor[0].t), frames[bar + 31].t);

  // The information picture: level 30 in its second frame, full brightness
  // 16 frames later (drawn before the fade step, so one frame shows the
  // previous one again), 985 frames standing, then the fade-out to black:
  // the clicks change nothing.
  const uint16_t info = To565(kInfoColour);
  uint64_t fadingIn = 0, full = 0, fadingOut = 0;
  for (const FlipRecord& f : frames) {
    if (fadingIn == 0 && f.pixels[kPage] == Darken565(info, 30)) fadingIn = f.t;
    if (full == 0 && f.pixels[kPage] == info) full = f.t;
    if (full != 0 && fadingOut == 0 && f.pixels[kPage] == Darken565(info, 2)) fadingOut = f.t;
  }
  ASSERT_NE(fadingOut, 0u);
  EXPECT_EQ(full - fadingIn, 20u * 16);
  EXPECT_EQ(fadingOut - full, 20u * 985);
  EXPECT_EQ(frames.at(FlipAt(fadingOut + 20 * 15)).pixels[kPage], 0);
  // The pointer stayed hidden all along.
  if (cursor.size() > 1) {
    EXPECT_GT(static_cast<uint64_t>(cursor[1].t), fadingOut + 20 * 16);
  }
}

TEST_F(StoryEnd, EscDuringTheInformationScreenEndsTheProgramInOrder) {
  TempDir dir;
  WriteStoryData(dir.path());
  std::string script = "0 key down SPACE\n";
  for (int t = 1990; t < 12000; t += 500) script += std::to_string(t) + " click left 580 465\n";
  ASSERT_EQ(PlayStory(dir.path(), script, 20000, StandardProbes()), 0);  // ESC in the standing picture
  EXPECT_EQ(frames.back().pixels[kPage], To565(kInfoColour));
  EXPECT_LE(frames.back().t, 20000u + 20);
  // The game thread goes at its next frame, then everything in order; the
  // information picture's slot goes with the display device. (The exit
  // line comes when the test ends the host.)
  std::vector<std::string> expected = kTeardownSteps;
  expected.insert(expected.begin() + 2, "release offscreen 0");
  expected.pop_back();
  EXPECT_EQ(TeardownSteps(TraceOf(), 20000), expected);
  EXPECT_LE(TraceOf("window").back().t, 20000 + 20 + 100);
}

}  // namespace
}  // namespace kaze::test
