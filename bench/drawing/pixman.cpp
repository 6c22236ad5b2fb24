// pixman's closest operations to the port's drawing, on the same buffers.
// pixman is optional: without it this file measures nothing.
#ifdef KAZE_HAVE_PIXMAN
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>

#include "drawing/frame.h"

namespace drawing_bench {
namespace {

pixman_image_t* PixmanImage(Frame& frame, pixman_format_code_t format = PIXMAN_r5g6b5) {
  return pixman_image_create_bits(format, kWidth, kHeight, frame.words.data(), kWidth * 2);
}

pixman_image_t* SolidAlpha(double alpha) {
  const pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(alpha * 0xFFFF)};
  return pixman_image_create_solid_fill(&colour);
}

void BM_Opaque_PixmanBlt(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    pixman_blt(src.words.data(), dst.words.data(), kWidth / 2, kWidth / 2, 16, 16, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Opaque_PixmanBlt);

// pixman has no colour key; its nearest is a source with one bit of alpha.
void BM_Keyed_PixmanOverA1(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  uint16_t* p = src.Pixels();
  for (int32_t i = 0; i < kWidth * kHeight; ++i) {  // 5-6-5 to 1-5-5-5, key -> alpha 0
    const uint16_t c = p[i];
    p[i] = c == 0x07E0 ? 0 : static_cast<uint16_t>(0x8000 | ((c >> 1) & 0x7FE0) | (c & 0x1F));
  }
  pixman_image_t* source = PixmanImage(src, PIXMAN_a1r5g5b5);
  pixman_image_t* target = PixmanImage(dst);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Keyed_PixmanOverA1);

void BM_Zoom_PixmanNearest(benchmark::State& state) {
  Frame src = Picture(), dst;
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_transform_t quarter;
  pixman_transform_init_scale(&quarter, pixman_double_to_fixed(0.25), pixman_double_to_fixed(0.25));
  pixman_image_set_transform(source, &quarter);
  pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    // Destination (0, 0) is column 960 of the 2560-wide magnified page.
    pixman_image_composite(PIXMAN_OP_SRC, source, nullptr, target, 960, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Zoom_PixmanNearest);

void BM_FillBlack_PixmanFill(benchmark::State& state) {
  Frame dst = Backdrop();
  for (auto _ : state) {
    pixman_fill(dst.words.data(), kWidth / 2, 16, 0, 0, kWidth, kHeight, 0);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_PixmanFill);

// Darkening as pixman would do it: translucent black over the frame.
void BM_Darken_PixmanOverSolid(benchmark::State& state) {
  Frame work = Backdrop();
  pixman_image_t* target = PixmanImage(work);
  pixman_image_t* shade = SolidAlpha(2.0 / 32);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, shade, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(shade);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Darken_PixmanOverSolid);

void BM_Blend_PixmanOverConstMask(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_image_t* weight = SolidAlpha(0.37);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_OVER, source, weight, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(weight);
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Blend_PixmanOverConstMask);

// Dimming as pixman would do it: the source at half weight, replacing.
void BM_Dim_PixmanSrcHalfMask(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  pixman_image_t* source = PixmanImage(src);
  pixman_image_t* target = PixmanImage(dst);
  pixman_image_t* half = SolidAlpha(0.5);
  for (auto _ : state) {
    pixman_image_composite(PIXMAN_OP_SRC, source, half, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(half);
  pixman_image_unref(source);
  pixman_image_unref(target);
  PerFrame(state);
}
BENCHMARK(BM_Dim_PixmanSrcHalfMask);

}  // namespace
}  // namespace drawing_bench

#endif  // KAZE_HAVE_PIXMAN
