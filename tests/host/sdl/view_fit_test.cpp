#ifdef KAZE_HAVE_SDL
#include "host/sdl/view_fit.h"

#include <gtest/gtest.h>

namespace kaze::host {
namespace {

// The picture keeps its aspect: a whole multiple fills the output, a wide
// one gets bars left and right, a tall one above and below.
TEST(ViewFit, ThePictureIsCentredWithItsAspectKept) {
  const struct {
    int32_t outputWidth, outputHeight;
    ViewRect view;
  } cases[] = {{1280, 960, {0, 0, 1280, 960}}, {1920, 1080, {240, 0, 1440, 1080}}, {640, 1000, {0, 260, 640, 480}}};
  for (const auto& c : cases) {
    const ViewRect view = FitPicture(c.outputWidth, c.outputHeight);
    EXPECT_EQ(view.x, c.view.x) << c.outputWidth;
    EXPECT_EQ(view.y, c.view.y) << c.outputWidth;
    EXPECT_EQ(view.width, c.view.width) << c.outputWidth;
    EXPECT_EQ(view.height, c.view.height) << c.outputWidth;
  }
}

TEST(ViewFit, EmptyOutputGivesEmptyViewAndNoDivisionByZero) {
  const ViewRect view = FitPicture(0, 0);
  EXPECT_EQ(view.width, 0);
  int32_t x = 1, y = 1;
  WindowToScreen(view, 10, 10, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(ViewFit, LargestWholeScaleFitsTheDesktopAndIsAtLeastOne) {
  EXPECT_EQ(LargestWholeScale(1920, 1080), 2);
  EXPECT_EQ(LargestWholeScale(3840, 2160), 4);
  EXPECT_EQ(LargestWholeScale(1280, 959), 1);
  EXPECT_EQ(LargestWholeScale(800, 600), 1);
  EXPECT_EQ(LargestWholeScale(320, 200), 1);
}

TEST(ViewFit, WindowPositionsMapBackToScreenPixelsThroughScaleAndBars) {
  const ViewRect doubled = FitPicture(1280, 960);
  int32_t x = 0, y = 0;
  WindowToScreen(doubled, 641, 479, x, y);
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 239);
  WindowToScreen(doubled, 1279, 959, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);

  // 1920x1080: the picture spans x 240..1679; the bars lie outside 0..639.
  const ViewRect wide = FitPicture(1920, 1080);
  WindowToScreen(wide, 240, 0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  WindowToScreen(wide, 239, 540, x, y);
  EXPECT_LT(x, 0);
  WindowToScreen(wide, 1680, 540, x, y);
  EXPECT_GE(x, 640);
  EXPECT_EQ(y, 240);
  WindowToScreen(wide, 0, 1079, x, y);
  EXPECT_EQ(x, -107);  // -106.7 rounded down
  EXPECT_EQ(y, 479);
}

// Sharp and nearest fill the aspect-kept view; pixel keeps to a whole
// multiple and falls back to the fit when not even 640x480 fits.
TEST(ViewFit, EachScalingModeHasItsViewAndSharpItsWholeFactor) {
  const struct {
    ScalingMode mode;
    int32_t outputWidth, outputHeight;
    ViewRect view;
    int32_t sharpFactor;
  } cases[] = {
      {ScalingMode::Sharp, 1920, 1080, {240, 0, 1440, 1080}, 2},
      {ScalingMode::Nearest, 1920, 1080, {240, 0, 1440, 1080}, 2},
      {ScalingMode::Pixel, 1920, 1080, {320, 60, 1280, 960}, 2},
      {ScalingMode::Sharp, 1280, 800, {107, 0, 1066, 800}, 1},
      {ScalingMode::Pixel, 1280, 800, {320, 160, 640, 480}, 1},
      {ScalingMode::Sharp, 2560, 1440, {320, 0, 1920, 1440}, 3},
      {ScalingMode::Pixel, 1280, 960, {0, 0, 1280, 960}, 2},
      {ScalingMode::Pixel, 600, 400, {33, 0, 533, 400}, 1},
      {ScalingMode::Sharp, 320, 240, {0, 0, 320, 240}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(int(c.mode)) + " " + std::to_string(c.outputWidth) + "x" +
                 std::to_string(c.outputHeight));
    const ViewRect view = ViewFor(c.mode, c.outputWidth, c.outputHeight);
    EXPECT_EQ(view.x, c.view.x);
    EXPECT_EQ(view.y, c.view.y);
    EXPECT_EQ(view.width, c.view.width);
    EXPECT_EQ(view.height, c.view.height);
    EXPECT_EQ(SharpStepFactor(view), c.sharpFactor);
  }
}

// In every mode and at every size the picture's corner pixels map to the
// screen's, and one pixel further out lies outside it.
TEST(ViewFit, ThePicturesCornersMapToTheScreensCornersInEveryMode) {
  for (const ScalingMode mode : {ScalingMode::Sharp, ScalingMode::Pixel, ScalingMode::Nearest}) {
    for (const auto& [width, height] : {std::pair{1920, 1080}, {1280, 800}, {1000, 600}, {640, 480}, {2560, 1600}}) {
      SCOPED_TRACE(std::to_string(int(mode)) + " " + std::to_string(width) + "x" + std::to_string(height));
      const ViewRect view = ViewFor(mode, width, height);
      const int32_t left = view.x, top = view.y;
      const int32_t right = view.x + view.width - 1, bottom = view.y + view.height - 1;
      int32_t x = 0, y = 0;
      WindowToScreen(view, left, top, x, y);
      EXPECT_EQ(x, 0);
      EXPECT_EQ(y, 0);
      WindowToScreen(view, right, bottom, x, y);
      EXPECT_EQ(x, 639);
      EXPECT_EQ(y, 479);
      WindowToScreen(view, right, top, x, y);
      EXPECT_EQ(x, 639);
      EXPECT_EQ(y, 0);
      WindowToScreen(view, left, bottom, x, y);
      EXPECT_EQ(x, 0);
      EXPECT_EQ(y, 479);
      WindowToScreen(view, left - 1, top - 1, x, y);
      EXPECT_TRUE(x < 0 && y < 0) << x << "," << y;
      WindowToScreen(view, right + 1, bottom + 1, x, y);
      EXPECT_TRUE(x > 639 && y > 479) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
