// SDL2's software surfaces doing the closest they have to the port's
// drawing, on the same buffers.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>

#include "drawing/frame.h"

namespace drawing_bench {
namespace {

SDL_Surface* SdlSurface(Frame& frame) {
  return SDL_CreateRGBSurfaceWithFormatFrom(frame.Pixels(), kWidth, kHeight, 16, kWidth * 2, SDL_PIXELFORMAT_RGB565);
}

// Runs one SDL blit per iteration; `prepare` sets the source's key, alpha
// or colour modulation.
template <typename Prepare, typename Blit>
void RunSdl(benchmark::State& state, Prepare prepare, Blit blit) {
  Frame src = Picture(), dst = Backdrop();
  SDL_Surface* source = SdlSurface(src);
  SDL_Surface* target = SdlSurface(dst);
  prepare(source);
  for (auto _ : state) {
    blit(source, target);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(source);
  SDL_FreeSurface(target);
  PerFrame(state);
}

void BM_Opaque_SdlBlit(benchmark::State& state) {
  RunSdl(
      state, [](SDL_Surface* s) { SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE); },
      [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Opaque_SdlBlit);

void BM_Keyed_SdlColorKey(benchmark::State& state) {
  RunSdl(
      state, [](SDL_Surface* s) { SDL_SetColorKey(s, SDL_TRUE, 0x07E0); },
      [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Keyed_SdlColorKey);

void BM_Zoom_SdlBlitScaled(benchmark::State& state) {
  RunSdl(
      state, [](SDL_Surface* s) { SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE); },
      [](SDL_Surface* s, SDL_Surface* d) {
        SDL_Rect zoom{-960, 0, 2560, 1920};
        SDL_BlitScaled(s, nullptr, d, &zoom);
      });
}
BENCHMARK(BM_Zoom_SdlBlitScaled);

void BM_FillBlack_SdlFillRect(benchmark::State& state) {
  Frame dst = Backdrop();
  SDL_Surface* target = SdlSurface(dst);
  for (auto _ : state) {
    SDL_FillRect(target, nullptr, 0);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(target);
  PerFrame(state);
}
BENCHMARK(BM_FillBlack_SdlFillRect);

void BM_Blend_SdlSurfaceAlpha(benchmark::State& state) {
  RunSdl(
      state,
      [](SDL_Surface* s) {
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(s, 94);  // 0.37
      },
      [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Blend_SdlSurfaceAlpha);

void BM_Dim_SdlColorMod(benchmark::State& state) {
  RunSdl(
      state,
      [](SDL_Surface* s) {
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceColorMod(s, 128, 128, 128);
      },
      [](SDL_Surface* s, SDL_Surface* d) { SDL_BlitSurface(s, nullptr, d, nullptr); });
}
BENCHMARK(BM_Dim_SdlColorMod);

}  // namespace
}  // namespace drawing_bench
