// The sharp mode's scaling on the processor, one 640x480 frame to the
// 1440x1080 picture of a 1920x1080 screen: the row-keeping version the sdl
// host uses, the pixel-by-pixel reference, and SDL's own scaled blit with
// the 16-bit to 32-bit conversion, which is what SDL's software renderer
// does for a frame in the nearest mode.
#include <benchmark/benchmark.h>

#ifdef KAZE_HAVE_SDL
#include <SDL.h>

#include <random>
#include <vector>

#include "host/host.h"
#include "host/sdl/sharp_scaler.h"

namespace {

using kaze::host::kScreenHeight;
using kaze::host::kScreenWidth;
constexpr int32_t kWidth = 1440, kHeight = 1080;

std::vector<uint16_t> Frame() {
  std::mt19937 random(7);
  std::vector<uint16_t> frame(size_t(kScreenWidth) * kScreenHeight);
  for (uint16_t& pixel : frame) pixel = uint16_t(random());
  return frame;
}

void BM_SharpScaler(benchmark::State& state) {
  const std::vector<uint16_t> frame = Frame();
  std::vector<uint32_t> out(size_t(kWidth) * kHeight);
  kaze::host::SharpScaler scaler;
  for (auto _ : state) {
    scaler.Scale(frame.data(), kaze::host::PixelLayout::Rgb565, 2, out.data(), kWidth * 4, kWidth, kHeight);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_SharpScalerReference(benchmark::State& state) {
  const std::vector<uint16_t> frame = Frame();
  std::vector<uint32_t> out(size_t(kWidth) * kHeight);
  for (auto _ : state) {
    kaze::host::ScaleSharpReference(frame.data(), kaze::host::PixelLayout::Rgb565, 2, out.data(), kWidth * 4, kWidth,
                                    kHeight);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_SdlScaledBlitNearest(benchmark::State& state) {
  std::vector<uint16_t> frame = Frame();
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(frame.data(), kScreenWidth, kScreenHeight, 16,
                                                           kScreenWidth * 2, SDL_PIXELFORMAT_RGB565);
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_RGB888);
  SDL_Rect whole{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    SDL_BlitScaled(source, nullptr, target, &whole);
    benchmark::DoNotOptimize(target->pixels);
  }
  SDL_FreeSurface(target);
  SDL_FreeSurface(source);
}

BENCHMARK(BM_SharpScaler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharpScalerReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdlScaledBlitNearest)->Unit(benchmark::kMillisecond);

}  // namespace

#endif  // KAZE_HAVE_SDL

BENCHMARK_MAIN();
