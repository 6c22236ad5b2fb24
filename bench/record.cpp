// The cost of --record: one iteration records one second of a run (50
// frames) to a file, with the picture still (every frame a repeat), or
// changing each frame (a fade: every frame converted). The real time per
// iteration without the wait for the writer's thread is what the
// recording adds to a second of the run when a second core is free; with
// it, the whole cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/y4m_writer.h"

namespace {

using kaze::host::PixelLayout;
using kaze::host::Y4mWriter;

std::vector<uint16_t> NoisyPicture(uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint16_t> pixels(640 * 480);
  for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
  return pixels;
}

// range(0): 1 for the plain converter, the reference the fast one is
// tested against.
void ConvertFrame(benchmark::State& state) {
  const auto convert = state.range(0) != 0 ? kaze::host::ConvertToYuv420Plain : kaze::host::ConvertToYuv420;
  const std::vector<uint16_t> pixels = NoisyPicture(1);
  std::vector<uint8_t> planes(640 * 480 * 3 / 2);
  for (auto _ : state) {
    convert(pixels.data(), 1280, PixelLayout::Rgb565, planes.data(), planes.data() + 640 * 480,
            planes.data() + 640 * 480 * 5 / 4);
    benchmark::DoNotOptimize(planes.data());
  }
}
BENCHMARK(ConvertFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// range(0): 1 when every frame shows a new picture.
void RecordOneSecond(benchmark::State& state) {
  const bool changing = state.range(0) != 0;
  const std::vector<uint16_t> pictures[2] = {NoisyPicture(1), NoisyPicture(2)};
  const std::string path = (std::filesystem::temp_directory_path() / "kaze_bench_record.y4m").string();
  Y4mWriter writer;
  std::string error;
  int flip = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!writer.Open(path, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    writer.SetPicture(pictures[0].data(), 1280, PixelLayout::Rgb565);
    state.ResumeTiming();
    for (int frame = 0; frame < 50; ++frame) {
      if (changing) writer.SetPicture(pictures[++flip & 1].data(), 1280, PixelLayout::Rgb565);
      writer.WriteFrames(1);
    }
    // What the writer's thread still has to write is not the run's time
    // (range(1) = 0), or is (1: the whole cost on one core).
    if (state.range(1) == 0) state.PauseTiming();
    writer.Close();
    if (state.range(1) == 0) state.ResumeTiming();
  }
  std::filesystem::remove(path);
}
// A fixed count: the run's part of a still second is so short that the
// library would otherwise take thousands of seconds, each paused for its
// 23 MB to be written.
BENCHMARK(RecordOneSecond)->ArgsProduct({{0, 1}, {0, 1}})->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
