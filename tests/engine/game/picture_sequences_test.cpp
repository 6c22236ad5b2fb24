// The intro's overlay rows: the full-screen picture stands a number of
// frames, the overlay ten seconds of the clock, however long a frame takes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/picture_sequences.h"
#include "game/scene_pictures.h"
#include "support/scenario_fixture.h"
#include "support/scene_data.h"
#include "support/scene_model.h"

namespace kaze::test {
namespace {

constexpr Colour kSequenceBackground{20, 31, 28}, kSequenceOverlay{31, 6, 2};  // the background shows at level 30
constexpr Probe kOnBackground{300, 300}, kOnOverlay{98, 147};                  // the overlay's first coloured row

class OverlayClock : public ScenarioTest {
 protected:
  // The index of the first flip from `from` whose probe `p` shows
  // something else than `pixel`.
  size_t FirstOther(size_t p, uint16_t pixel, size_t from = 0) const {
    size_t i = from;
    while (i < frames.size() && frames[i].pixels[p] == pixel) ++i;
    return i;
  }
};

void OverlayRow() {
  LoadPicture(0, "taiken\\tik022.v", kKeyedPicture);
  LoadPicture(1, "taiken\\tik030.v");
  ShowPictureWithOverlay(97, 146, 200);
}

TEST_F(OverlayClock, TheOverlayStandsTenSecondsOfTheClockAndTheRowBeforeItTwoHundredFrames) {
  TempDir dir;
  SceneData data(dir.path());
  data.Picture("taiken\\tik022.v", Striped(32, 8, 0x000000, kSequenceOverlay.Rgb888()));
  data.Picture("taiken\\tik030.v", 640, 480, kSequenceBackground.Rgb888());
  const uint16_t background = kSequenceBackground.Pixel();

  // A pass lasts its 20 ms of pacing, or a slow flip and PumpFrame's 1 ms.
  for (const uint32_t slowFlipMs : {0u, 40u}) {
    SCOPED_TRACE(slowFlipMs);
    const int64_t passMs = slowFlipMs == 0 ? 20 : slowFlipMs + 1;
    ASSERT_EQ(PlayScenario(dir.path(), OverlayRow, "", 60000, {{kOnBackground, kOnOverlay}, slowFlipMs}), 0);
    // Passes 2 to 200 show the picture fading in and standing; pass 201
    // is not shown, the overlay's first blend is.
    const size_t fadingIn = FirstOther(0, 0);
    const size_t blended = FirstOther(1, background, fadingIn + 20);
    EXPECT_EQ(blended - fadingIn, 199u);
    // The fade-out is asked for in the first pass after more than 10 s of
    // the overlay, and armed in it: the next pass darkens.
    const size_t darker = FirstOther(0, background, blended);
    ASSERT_LT(darker, frames.size());
    EXPECT_LE(std::abs(static_cast<int64_t>(darker - blended) * passMs - 10000), 2 * passMs);
    if (slowFlipMs == 0) {
      // 201 passes and 519: the row's last pass (not shown) comes 719
      // passes after its first, and clears the screen with two flips 1 ms
      // apart.
      EXPECT_EQ(darker - blended, 501u);
      EXPECT_EQ(frames.back().t - frames[fadingIn].t, 718u * 20 + 1);
    }
  }
}

}  // namespace
}  // namespace kaze::test
