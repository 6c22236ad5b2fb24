// The port's drawing operations on bare buffers: the software blitter under
// IDirectDrawSurface::Blt and the pixel effects' row loops, each in every
// vector form the processor has, beside memcpy of the same frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <windows.h>

#include "drawing/frame.h"
#include "image/pixel_kernels.h"
#include "platform/ddraw/blit.h"
#include "platform/ddraw/keyed_copy.h"
#include "platform/ddraw/pixel_surface.h"

namespace drawing_bench {
namespace {

using kaze::platform::PixelSurface;

const RECT kScreen{0, 0, kWidth, kHeight};

PixelSurface SurfaceOf(Frame& frame) { return PixelSurface{frame.Pixels(), kWidth, kHeight, kWidth * 2}; }

// The pixel effects' loops run in the form given as the argument (0 plain,
// which is SSE2 as the compiler vectorises it, 1 AVX2, 2 AVX-512BW); each
// is measured where the processor has it, the widest (the one the program
// runs) last.
void EveryForm(benchmark::internal::Benchmark* b) {
  b->ArgName("form");
  for (int form = 0; form <= static_cast<int>(WidestPixelLoops()); ++form) b->Arg(form);
}

struct FormInUse {
  explicit FormInUse(const benchmark::State& state) { UsePixelLoops(static_cast<PixelLoops>(state.range(0))); }
  ~FormInUse() { UsePixelLoops(WidestPixelLoops()); }
};

// ---- memcpy: the floor -------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    std::memcpy(dst.Pixels(), src.Pixels(), kFrameBytes);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Memcpy);

// ---- opaque 1:1 blit ----------------------------------------------------

void BM_Opaque_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst;
  for (auto _ : state) {
    kaze::platform::StretchBlit(SurfaceOf(dst), kScreen, kScreen, SurfaceOf(src), kScreen, nullptr);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Opaque_Kaze);

// ---- colour-keyed 1:1 blit ----------------------------------------------

void BM_Keyed_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst = Backdrop();
  const uint16_t key = src.Pixels()[0];
  for (auto _ : state) {
    kaze::platform::StretchBlit(SurfaceOf(dst), kScreen, kScreen, SurfaceOf(src), kScreen, &key);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Keyed_Kaze);

// The keyed row copy alone in each of its forms (0 plain, 1 AVX2,
// 2 AVX-512BW), where the processor has it.
void BM_KeyedRows(benchmark::State& state) {
  using Copy = void (*)(uint16_t*, const uint16_t*, int64_t, uint16_t);
  std::vector<Copy> forms{kaze::platform::CopyKeyedPlain};
#if defined(__x86_64__)
  using kaze::platform::VectorWidth;
  const VectorWidth widest = kaze::platform::WidestVectors();
  if (widest >= VectorWidth::Avx2) forms.push_back(kaze::platform::CopyKeyedAvx2);
  if (widest >= VectorWidth::Avx512) forms.push_back(kaze::platform::CopyKeyedAvx512);
#endif
  if (static_cast<size_t>(state.range(0)) >= forms.size()) return state.SkipWithError("not on this processor");
  const Copy copy = forms[static_cast<size_t>(state.range(0))];
  Frame src = Picture(), dst = Backdrop();
  const uint16_t key = src.Pixels()[0];
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) copy(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, key);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_KeyedRows)->ArgName("form")->DenseRange(0, 2);

// ---- the page zoom: 640x480 to 2560x1920 at (-960, 0), clipped -----------

void BM_Zoom_Kaze(benchmark::State& state) {
  Frame src = Picture(), dst;
  const RECT zoom{-960, 0, -960 + 2560, 1920};
  for (auto _ : state) {
    kaze::platform::StretchBlit(SurfaceOf(dst), zoom, kScreen, SurfaceOf(src), kScreen, nullptr);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Zoom_Kaze);

// ---- black fill -------------------------------------------------------------

void BM_FillBlack_Kaze(benchmark::State& state) {
  Frame dst = Backdrop();
  for (auto _ : state) {
    kaze::platform::FillRect(SurfaceOf(dst), kScreen, kScreen, 0);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_Kaze);

// ---- darkening the whole work surface -------------------------------------

void BM_Darken_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame work = Backdrop();
  const ChannelLayout layout = Layout565();
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) DarkenRow(work.Pixels() + y * kWidth, kWidth, layout, 2);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Darken_Kaze)->Apply(EveryForm);

// ---- blended draw of a full-screen picture ------------------------------

void BM_Blend_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame src = Picture(), dst = Backdrop();
  const ChannelLayout layout = Layout565();
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  for (auto _ : state) {
    const BlendTable table = MakeBlendTable(weights[frame++ % weights.size()]);
    for (int32_t y = 0; y < kHeight; ++y)
      BlendRow(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, layout, table);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Blend_Kaze)->Apply(EveryForm);

// The per-call set-up alone: the exact table and the search for weights,
// made once per weight and then found among the tables kept.
void BM_BlendSetUp_Kaze(benchmark::State& state) {
  const std::vector<float> weights = FadeWeights();
  size_t frame = 0;
  int64_t fixed = 0;
  for (auto _ : state) {
    const BlendTable table = MakeBlendTable(weights[frame++ % weights.size()]);
    fixed += table.hasFixedWeights;
    benchmark::DoNotOptimize(table);
  }
  state.counters["fixed_share"] = static_cast<double>(fixed) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BlendSetUp_Kaze);

// ---- dimmed draw of a full-screen picture -------------------------------

void BM_Dim_Kaze(benchmark::State& state) {
  const FormInUse form(state);
  Frame src = Picture(), dst = Backdrop();
  for (auto _ : state) {
    for (int32_t y = 0; y < kHeight; ++y) DimRow(dst.Pixels() + y * kWidth, src.Pixels() + y * kWidth, kWidth, 0x7BCF);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_Dim_Kaze)->Apply(EveryForm);

}  // namespace
}  // namespace drawing_bench
