// The story on the headless host, in-process (support/scenario_fixture.h):
// the game thread starts the scenario at the story, so a test reaches the
// pages at once instead of after the intro, the opening and the title. The
// cycle then goes on as the program's: information screen, intro, opening,
// title, story.
//
//   class MyTest : public StoryTest {};
//   TEST_F(MyTest, ...) {
//     WriteStoryData(dir.path());
//     const int code = PlayStory(dir.path(), "1000 click left 580 465\n", 30000, {{320, 300}});
//     frames[i].pixels[0], TraceOf("sound") ...
//   }
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/scenario_fixture.h"

namespace kaze::test {

// The test pictures' colours (0xRRGGBB). Page pictures have full red, so
// the red channel of a shown page tells its darkening level.
uint32_t PageColour(int32_t page);
constexpr uint32_t kLineColour = 0xF8F8F8;
constexpr uint32_t kOverlayColour = 0x20F820;                         // page 3's overlay
constexpr uint32_t kBlinkColour[3] = {0x2020F8, 0x20F8F8, 0xF8F820};  // page 6's frames
constexpr uint32_t kInfoColour = 0xF840F8;
uint32_t BarColour(int32_t slot);

// 0xRRGGBB as the 5-6-5 display holds it, and dimmed as a disabled button.
uint16_t To565(uint32_t rgb);
uint16_t Dimmed565(uint32_t rgb);
// The darkening level of a shown pixel of a full-red picture: 0 bright, 31 or more black.
int32_t DarkeningOf(uint16_t pixel);
// A 5-6-5 pixel darkened by `level` as the fades do it.
uint16_t Darken565(uint16_t pixel, int32_t level);

// The probes most tests sample, by index.
enum ProbeIndex : size_t {
  kPage,
  kLine1Top,
  kLine1Bottom,
  kLine2Top,
  kBackCorner,
  kNextCorner,
  kQuitCorner,
  kSoundCorner,
  kQuestion,
  kYes,
  kBlink,
  kZoomLow,
  kZoomMiddle,
  kProbeCount
};
std::vector<Probe> StandardProbes();

// Page 7's picture is 640x480, this colour below row 240 and the next one
// left of column 240 above it: a zoom shows where those edges land.
constexpr uint32_t kLowerHalfColour = 0x40F840;
constexpr uint32_t kUpperLeftColour = 0xF8F840;

// Story frame k (from 1) of a run starts at this virtual time; script
// actions at FrameTime(k) - 10 are seen by frame k.
constexpr uint64_t FrameTime(int k) { return 640 + 20 * static_cast<uint64_t>(k); }

// Line pictures are 24 wide and this tall: 10 frames to unroll at speed 2.
constexpr int32_t kLineHeight = 20;

// Every picture of the story and the information screen, the bar's 33
// pictures and the seven effect files, below root/Data.
void WriteStoryData(const std::filesystem::path& root);

class StoryTest : public ScenarioTest {
 protected:
  // Plays from the story on with the input script until ESC at untilMs (or
  // until the player quits); returns the program's exit code. frames gets a
  // record of every flip.
  int PlayStory(const std::filesystem::path& root, const std::string& script, uint64_t untilMs,
                std::vector<Probe> probes = {});

  // With the standard probes first: the page a flip shows at full
  // brightness, or 0; the first flip from `from` that shows `page` so.
  int32_t PageOf(const FlipRecord& f) const;
  size_t FirstFullFlip(int32_t page, size_t from = 0) const;
};

}  // namespace kaze::test
