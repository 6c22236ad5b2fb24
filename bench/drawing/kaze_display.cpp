// The port's drawing operations as the scenes call them: through the display,
// its stand-in DirectDraw surfaces, their locks and Blt's checks and clipper.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <ddraw.h>
#include <windows.h>

#include "display/display_device.h"
#include "drawing/frame.h"
#include "image/drawing.h"
#include "image/pixel_effects.h"
#include "platform/ddraw/ddraw_objects.h"
#include "shell/shared_flags.h"
#include "support/headless_display.h"

namespace drawing_bench {
namespace {

// A headless host, a window, DirectDraw with the flip chain, the work surface
// and the clipper, a DisplayDevice in TheDisplay, and the picture in slot 0
// (keyed in slot 1) as a load leaves it. The scene-level calls run as the
// scenes make them, FadeState 0: they draw into the back buffer.
class BenchDisplay {
 public:
  BenchDisplay() {
    Frame picture = Picture();
    PutPicture(0, picture, 0);
    PutPicture(1, picture, DDBLT_KEYSRC);
    Frame backdrop = Backdrop();
    std::memcpy(kaze::platform::StateOf(display_.Work()).pixels.pixels, backdrop.Pixels(), kFrameBytes);
    std::memcpy(kaze::platform::StateOf(display_.Back()).pixels.pixels, backdrop.Pixels(), kFrameBytes);
  }
  DisplayDevice& Device() { return display_.Device(); }

  // Every operation measured succeeds once on this display.
  bool Works() {
    DisplayDevice& d = display_.Device();
    IDirectDrawSurface* back = display_.Back();
    return d.BltImage(back, 0, 0, 0) && d.BltImage(back, 1, 0, 0) && d.BltImageScaled(back, 0, -960, 0, 2560, 1920) &&
           d.DarkenWorkRect(0, 0, kWidth, kHeight, 2) && d.DrawBlended(back, 0, 0, 0, 0.5f) &&
           d.DrawDimmed(back, 0, 0, 0);
  }

 private:
  void PutPicture(int slot, Frame& picture, DWORD flags) {
    ImageSlot& entry = display_.Device().slots[slot];
    entry.surface = display_.Offscreen(kWidth, kHeight);
    std::memcpy(kaze::platform::StateOf(entry.surface).pixels.pixels, picture.Pixels(), kFrameBytes);
    entry.sourceRect = RECT{0, 0, kWidth, kHeight};
    entry.width = kWidth;
    entry.height = kHeight;
    entry.loaded = 1;
    entry.bltFlags = static_cast<int32_t>(flags);
    entry.keyColour = -1;
  }

  HeadlessDisplay display_;
};

template <typename Draw>
void RunOnDisplay(benchmark::State& state, Draw draw) {
  BenchDisplay display;
  FadeState = 0;
  if (!display.Works()) state.SkipWithError("the display refused a drawing operation");
  for (auto _ : state) {
    draw(display.Device());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}

void BM_Display_DrawImage(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImage(0, 0, 0); });
}
BENCHMARK(BM_Display_DrawImage);

void BM_Display_DrawImageKeyed(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImage(1, 0, 0); });
}
BENCHMARK(BM_Display_DrawImageKeyed);

void BM_Display_DrawImageScaledZoom(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImageScaled(0, -960, 0, 2560, 1920); });
}
BENCHMARK(BM_Display_DrawImageScaledZoom);

void BM_Display_DarkenWorkRect(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice& device) { device.DarkenWorkRect(0, 0, kWidth, kHeight, 2); });
}
BENCHMARK(BM_Display_DarkenWorkRect);

void BM_Display_DrawImageBlended(benchmark::State& state) {
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  RunOnDisplay(state, [&](DisplayDevice&) { DrawImageBlended(0, 0, 0, weights[frame++ % weights.size()]); });
}
BENCHMARK(BM_Display_DrawImageBlended);

void BM_Display_DrawImageDimmed(benchmark::State& state) {
  RunOnDisplay(state, [](DisplayDevice&) { DrawImageDimmed(0, 0, 0); });
}
BENCHMARK(BM_Display_DrawImageDimmed);

}  // namespace
}  // namespace drawing_bench
