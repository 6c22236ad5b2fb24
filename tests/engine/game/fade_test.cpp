// The fade state machine on a display of its own: its steps as the back
// buffer shows them.
#include <gtest/gtest.h>
#include <ddraw.h>

#include <vector>

#include "game/fade.h"
#include "platform/ddraw/ddraw_objects.h"
#include "shell/shared_flags.h"
#include "support/display_fixture.h"
#include "support/scene_model.h"

namespace kaze::test {
namespace {

class Primitives : public DisplayTest {
 protected:
  void Fill(IDirectDrawSurface* surface, uint16_t pixel) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = pixel;
    ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
  }
  // One frame of a fading scene: its white picture drawn into the work
  // surface, the back buffer marked, the step; the level the step showed,
  // or -1 when it drew nothing.
  int32_t Step() {
    Fill(work, 0xFFFF);
    Fill(back, kUntouched);
    StepFade(0, 0, 640, 480);
    const uint16_t shown = platform::StateOf(back).pixels.Row(240)[320];
    if (shown == kUntouched) return -1;
    for (uint32_t level = 0; level <= 31; ++level)
      if (shown == Colour{31 - level, 31 - level, 31 - level}.Pixel()) return static_cast<int32_t>(level);
    ADD_FAILURE() << "not a darkened white: " << shown;
    return -2;
  }
  static constexpr uint16_t kUntouched = 0x1234;  // no darkened white
};

TEST_F(Primitives, AFadeOutAskedForDuringAFadeInDarkensAgainFromLevelTwo) {
  MakeDisplay(host::PixelLayout::Rgb565, true);
  FadeState = kFadeInRequested;
  std::vector<int32_t> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(Step());
  FadeState = kFadeOutRequested;  // the fade-in has reached level 26 only
  for (int i = 0; i < 4; ++i) shown.push_back(Step());
  EXPECT_EQ(shown, (std::vector<int32_t>{-1, 30, 28, 26, -1, 2, 4, 6}));
  EXPECT_EQ(FadeState, kFadingOut);
  FadeState = kFadeIdle;
}

}  // namespace
}  // namespace kaze::test
