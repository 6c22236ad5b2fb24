// What the scenes should put on the screen, computed here from the written
// rules (not with the engine's kernels), and the trace's frame lines to
// compare it with.
//
//   Screen s;                       // 640x480, black
//   s.Put({121, 197, 40, 20}, kRed);
//   s.Darken({121, 197, 640, 480}, 30);
//   s.Crc()                         // as the trace's "frame" lines give it
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/kaze_run.h"

namespace kaze::test {

// 5-bit channels; green is kept as 5 bits one position up on 5-6-5.
struct Colour {
  uint32_t r = 0, g = 0, b = 0;
  uint32_t Rgb888() const { return (r << 19) | (g << 11) | (b << 3); }
  uint16_t Pixel() const { return static_cast<uint16_t>((r << 11) | (g << 6) | b); }
};

struct Rect {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

constexpr Rect kFullScreen{0, 0, 640, 480};

// A 640x480 RGB555 screen. Every member that touches pixels is defined in
// scene_model.cpp, which sanitizer builds compile without instrumentation.
// A dropped screen's pixels are kept for the next screen made (see there).
class Screen {
 public:
  Screen();
  Screen(const Screen& other);
  Screen& operator=(const Screen& other);
  Screen(Screen&& other) noexcept = default;
  Screen& operator=(Screen&& other) noexcept;
  ~Screen();
  void Clear();
  void Put(Rect r, Colour c);
  // Only the first `rows` rows of a picture at r.
  void PutTop(Rect r, int32_t rows, Colour c) { Put({r.x, r.y, r.w, rows < r.h ? rows : r.h}, c); }
  // Every channel loses `level`, down to 0.
  void Darken(Rect r, int32_t level);
  // new = old * (1 - alpha) + c * alpha per channel, exactly, truncated;
  // alpha and 1 - alpha as 32-bit floats.
  void Blend(Rect r, Colour c, float alpha);
  uint32_t Crc() const;

 private:
  template <typename F>
  void ForEach(Rect r, F f);
  std::vector<uint16_t> pixels_;
};

// The blend weights of a fade-in loop: from 0.1, `step` added in double and
// stored back as float, for as long as the sum stays at most 1.0; the first
// weight is 0.1 + step when `fromFirstSum`.
std::vector<float> BlendWeights(double step, bool startAtFirstSum);

// Consecutive repeats dropped: the trace writes a frame line only on change.
std::vector<uint32_t> Changes(const std::vector<uint32_t>& crcs);

// The CRCs of the trace's frame lines with from <= t < to.
std::vector<uint32_t> FrameCrcs(const std::vector<TraceLine>& trace, int64_t from, int64_t to);
// The first frame line with this CRC at or after `from`; -1 when none.
int64_t TimeOfFrame(const std::vector<TraceLine>& trace, uint32_t crc, int64_t from = 0);

// Sound events of effects by number: the voice each effect file was loaded into.
std::vector<int64_t> EffectVoices(const std::vector<TraceLine>& trace);  // [effect] -> voice, -1 none

}  // namespace kaze::test

namespace kaze::test {

// The flip chain as the scenes use it: drawing lands in the back buffer or
// the work surface, a fade step copies the darkened work surface to the back
// buffer, a flip exchanges front and back. `shown` collects every flip.
struct FlipChain {
  Screen front, back, work;
  std::vector<uint32_t> shown;

  void Flip();
  // ClearScreen: everything black, two flips.
  void ClearAll();
  // A fade step that draws: the work surface darkened in r, then copied.
  void ShowDarkened(Rect r, int32_t level);
};

}  // namespace kaze::test
