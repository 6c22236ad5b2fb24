// The scene primitives on a display of their own: the fade state machine's
// steps as the back buffer shows them, and the slot rectangle query at the
// ends of the slot range.
#include <gtest/gtest.h>
#include <ddraw.h>

#include <new>
#include <vector>

#include "game/fade.h"
#include "game/slot_rect.h"
#include "support/scene_model.h"
#include "shell/shared_flags.h"
#include "support/display_fixture.h"

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
    const uint16_t shown = back->state.pixels.Row(240)[320];
    if (shown == kUntouched) return -1;
    for (uint32_t level = 0; level <= 31; ++level)
      if (shown == Colour{31 - level, 31 - level, 31 - level}.Pixel()) return static_cast<int32_t>(level);
    ADD_FAILURE() << "not a darkened white: " << shown;
    return -2;
  }
  static constexpr uint16_t kUntouched = 0x1234;  // no darkened white
};

TEST_F(Primitives, AFadeOutAskedForDuringAFadeInDarkensAgainFromLevelTwo) {
  MakeDisplay(platform::PixelLayout::Rgb565, true);
  FadeState = kFadeInRequested;
  std::vector<int32_t> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(Step());
  FadeState = kFadeOutRequested;  // the fade-in has reached level 26 only
  for (int i = 0; i < 4; ++i) shown.push_back(Step());
  EXPECT_EQ(shown, (std::vector<int32_t>{-1, 30, 28, 26, -1, 2, 4, 6}));
  EXPECT_EQ(FadeState, kFadingOut);
  FadeState = kFadeIdle;
}

TEST(SlotRect, IsGivenForLoadedSlotsOnlyAndTheRectangleIsLeftAloneOtherwise) {
  // The device stands on bytes that are not zero, so that whatever lies
  // past its last slot would read as a loaded picture.
  std::vector<unsigned char> storage(sizeof(DisplayDevice) + sizeof(ImageSlot), 0xFF);
  auto* device = new (storage.data()) DisplayDevice();
  TheDisplay.store(device);
  device->slots[0].loaded = 1;
  device->slots[0].sourceRect = RECT{0, 0, 40, 20};
  device->slots[255].loaded = 1;
  device->slots[255].sourceRect = RECT{0, 0, 8, 450};
  struct Case {
    int32_t slot;
    int result;
    RECT rect;
  };
  const RECT untouched{-7, -7, -7, -7};
  const Case cases[] = {
      {0, 1, {0, 0, 40, 20}}, {255, 1, {0, 0, 8, 450}}, {1, 0, untouched},  // loaded, loaded, empty
      {-1, 0, untouched},     {256, 0, untouched},                         // just outside the range
  };
  for (const Case& c : cases) {
    RECT rect = untouched;
    EXPECT_EQ(GetSlotRect(c.slot, &rect), c.result) << c.slot;
    EXPECT_EQ(rect.left, c.rect.left) << c.slot;
    EXPECT_EQ(rect.top, c.rect.top) << c.slot;
    EXPECT_EQ(rect.right, c.rect.right) << c.slot;
    EXPECT_EQ(rect.bottom, c.rect.bottom) << c.slot;
  }
  TheDisplay.store(nullptr);
  device->~DisplayDevice();
}

}  // namespace
}  // namespace kaze::test
