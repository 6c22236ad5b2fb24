// What every file of the drawing benchmark shares: the 640x480 5-6-5
// buffers, the pictures drawn, the fade's weights, and the bytes-per-frame
// count that makes bytes_per_second read as frame bytes moved.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace drawing_bench {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int64_t kFrameBytes = int64_t{kWidth} * kHeight * 2;

// A 640x480 5-6-5 buffer, 32-bit aligned as pixman wants.
struct Frame {
  std::vector<uint32_t> words = std::vector<uint32_t>(kWidth * kHeight / 2);
  uint16_t* Pixels() { return reinterpret_cast<uint16_t*>(words.data()); }
};

// A picture like the story's: smooth colour with a quarter of its area in
// the key colour (the top-left pixel's, 0x07E0) and a few black pixels.
inline Frame Picture() {
  Frame frame;
  uint16_t* p = frame.Pixels();
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const bool keyed = (x / 40 + y / 40) % 4 == 0;
      const uint16_t colour =
          static_cast<uint16_t>(((x * 31 / kWidth) << 11) | ((y * 63 / kHeight) << 5) | ((x + y) & 31));
      p[y * kWidth + x] = keyed ? 0x07E0 : (colour == 0 ? 1 : colour);
    }
  for (int32_t i = 0; i < kWidth * kHeight; i += 997) p[i] = 0;  // scattered black
  return frame;
}

inline Frame Backdrop() {
  Frame frame;
  uint16_t* p = frame.Pixels();
  for (int32_t i = 0; i < kWidth * kHeight; ++i) p[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  return frame;
}

inline void PerFrame(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * kFrameBytes); }

// The weights of a fade-in, 0.11 to 1.0 in steps of 0.01, as the scenes
// make them; each frame takes the next, so the per-call set-up is measured.
inline std::vector<float> FadeWeights() {
  std::vector<float> weights;
  for (float alpha = 0.1f;;) {
    alpha = static_cast<float>(static_cast<double>(alpha) + 0.01);
    if (alpha > 1.0f) return weights;
    weights.push_back(alpha);
  }
}

}  // namespace drawing_bench
