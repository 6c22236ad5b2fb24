#include "game/story.h"

#include <cstdint>
#include <limits>

#include "game/control_bar.h"
#include "game/page_tables.h"
#include "image/drawing.h"
#include "sound/effects.h"

namespace {

constexpr int32_t kBlinkFrames = 10;  // page 6: 10 frames bare, 10 of each overlay
constexpr int32_t kZoomStart = 40;    // page 7: frames at four times size
constexpr int32_t kZoomEnd = 64;      // page 7: full screen from here on

// Counts up without ever overflowing: the animations only ask about the
// first few dozen frames.
int32_t CountAnimationFrame() {
  if (PageAnimCounter < std::numeric_limits<int32_t>::max()) PageAnimCounter += 1;
  return PageAnimCounter;
}

void DrawBlinkingPage() {
  DrawImage(kBackgroundSlot, 270, 0);
  switch (CountAnimationFrame() / kBlinkFrames) {
    case 1:
      DrawImage(kOverlaySlot, 314, 56);
      break;
    case 2:
      DrawImage(kOverlaySlot + 1, 314, 56);
      break;
    case 3:
      PageAnimCounter = 0;  // the cycle starts again without an overlay
      break;
    default:
      break;
  }
}

// From four times size, top edge at the top and centred, down to exactly
// full screen at frame 64; then the page's sound starts.
void DrawZoomingPage() {
  const int32_t frame = CountAnimationFrame();
  if (frame <= kZoomStart) {
    DrawImageScaled(kBackgroundSlot, -960, 0, 2560, 1920);
  } else if (frame > kZoomEnd) {
    DrawImage(kBackgroundSlot, 0, 0);
  } else {
    const int32_t d = frame - kZoomStart;  // 1 to 24
    DrawImageScaled(kBackgroundSlot, 40 * (d - 24), 0, 80 * (32 - d), 60 * (32 - d));
  }
  if (PageAnimCounter == kZoomEnd) PlayEffect(kZoomLoopEffect, 1);
}

}  // namespace

void DrawStagePage(int32_t hot) {
  switch (Stage) {
    case 1:
    case 2:
      DrawImage(kBackgroundSlot, 0, 0);
      break;
    case 3:
      DrawImage(kBackgroundSlot, 0, 0);
      DrawImage(kOverlaySlot, 89, 16);
      break;
    case 5:
      DrawImage(kBackgroundSlot, 146, 21);
      break;
    case 6:
      DrawBlinkingPage();
      break;
    case 7:
      DrawZoomingPage();
      break;
    default:
      break;
  }
  FillBlack(0, 450, 640, 480);  // the control-bar strip
  DrawControlBar(hot);
}
