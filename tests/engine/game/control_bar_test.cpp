// The control bar's buttons one by one: where a point hits, what yes does
// without its question, and where the hot and pressed pictures are drawn.
#include <gtest/gtest.h>
#include <windows.h>

#include "game/clicks.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "game/story.h"
#include "host/null_host.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/kernel32/files.h"
#include "sound/effects.h"
#include "support/display_fixture.h"
#include "support/story_fixture.h"

namespace kaze::test {
namespace {

// The pointer and the left button, as the test sets them.
class PointerHost final : public host::NullHost {
 public:
  bool IsKeyDown(uint32_t key) override { return key == VK_LBUTTON && leftDown; }
  void CursorPos(int32_t& px, int32_t& py) override { px = x, py = y; }
  int32_t x = 0, y = 0;
  bool leftDown = false;
};

class BarButtons : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    HideDialogItems();
    PressedButton = kNoButton;
    LeftClickLatch = 0;
    QuitConfirmed = QuitCountdown = 0;
    FadeState = kFadeIdle;
  }
  void TearDown() override {
    host::SetHost(&host());
    FadeState = kFadeIdle;
    QuitConfirmed = QuitCountdown = LeftClickLatch = PressedButton = 0;
    HideDialogItems();
    DisplayTest::TearDown();
  }
  // Two story frames: the left button down, then up, over (x, y).
  void Click(int32_t x, int32_t y) {
    pointer_.x = x;
    pointer_.y = y;
    for (bool down : {true, false}) {
      pointer_.leftDown = down;
      HandleControlBarClick(HitTestControlBar());
    }
  }
  PointerHost pointer_;
};

struct Button {
  int32_t id, left, top, right, bottom;
};
constexpr Button kButtons[] = {
    {kBackButton, 498, 452, 538, 479},  {kNextButton, 568, 452, 608, 479}, {kQuitButton, 30, 456, 60, 476},
    {kSoundButton, 452, 459, 468, 475}, {kYesButton, 275, 461, 298, 473},  {kNoAnswerButton, 305, 461, 328, 473},
};

TEST_F(BarButtons, APointHitsOnlyStrictlyInsideAButtonAndNeverOnItsEdge) {
  host::SetHost(&pointer_);
  for (const Button& b : kButtons) {
    struct Point {
      int32_t x, y, id;
    };
    const int32_t midX = (b.left + b.right) / 2, midY = (b.top + b.bottom) / 2;
    const Point points[] = {
        {b.left + 1, b.top + 1, b.id},
        {b.right - 1, b.bottom - 1, b.id},  // the inner corners
        {b.left, midY, 0},
        {b.right, midY, 0},  // the edges
        {midX, b.top, 0},
        {midX, b.bottom, 0},
    };
    for (const Point& p : points) {
      pointer_.x = p.x;
      pointer_.y = p.y;
      EXPECT_EQ(HitTestControlBar(), p.id) << p.x << "," << p.y;
    }
  }
}

TEST_F(BarButtons, YesWithoutItsQuestionDoesNothingAndWithItEndsTheStory) {
  host::SetHost(&pointer_);
  Click(285, 467);
  EXPECT_EQ(QuitConfirmed, 0);
  EXPECT_EQ(QuitCountdown, 0);
  EXPECT_EQ(FadeState, kFadeIdle);
  Click(40, 466);  // quit: the question
  EXPECT_EQ(QuitQuestionShown, 1);
  Click(285, 467);
  EXPECT_EQ(QuitConfirmed, 1);
  EXPECT_EQ(QuitCountdown, 15);
  EXPECT_EQ(FadeState, kFadedOut);  // the whole screen darkens again from here
  EXPECT_EQ(QuitQuestionShown + YesShown + NoShown, 0);
}

TEST_F(BarButtons, TheHotPicturesOfQuitSoundYesAndNoArePressedInOnlyWhileTheButtonIsHeld) {
  TempDir dir;
  WriteStoryData(dir.path());
  platform::SetDataRoot(dir.path());
  MakeDisplay(host::PixelLayout::Rgb565, true);
  LoadControlBarImages();
  QuitQuestionShown = YesShown = NoShown = 1;
  struct Case {
    int32_t hot, held, sound;
    int32_t x, y;  // where the picture's top-left corner should be
    int32_t slot;
  };
  const Case cases[] = {
      {kQuitButton, 1, 1, 31, 457, 34},   {kQuitButton, 0, 1, 30, 456, 34},      {kNoButton, 1, 1, 30, 456, 33},
      {kSoundButton, 1, 1, 453, 460, 32}, {kSoundButton, 0, 1, 452, 459, 32},    {kSoundButton, 1, 0, 453, 460, 31},
      {kNoButton, 1, 1, 452, 459, 32},    {kYesButton, 1, 1, 276, 462, 44},      {kYesButton, 0, 1, 275, 461, 44},
      {kNoButton, 1, 1, 275, 461, 44},    {kNoAnswerButton, 1, 1, 306, 462, 45}, {kNoAnswerButton, 0, 1, 305, 461, 45},
      {kNoButton, 1, 1, 305, 461, 45},
  };
  const int32_t savedSound = SoundEnabled;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "hot " << c.hot << " held " << c.held << " sound " << c.sound);
    ASSERT_EQ(device->ClearBackBuffer(), DD_OK);
    LeftClickLatch = c.held;
    SoundEnabled = c.sound;
    DrawControlBar(c.hot);
    auto at = [&](int32_t x, int32_t y) { return platform::StateOf(back).pixels.Row(y)[x]; };
    EXPECT_EQ(at(c.x, c.y), To565(BarColour(c.slot)));
    if (c.held == 1 && c.hot != kNoButton) {
      EXPECT_EQ(at(c.x - 1, c.y - 1), 0);  // moved one pixel right and down
    }
  }
  SoundEnabled = savedSound;
}

}  // namespace
}  // namespace kaze::test
