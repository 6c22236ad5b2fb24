// What showing a still picture at 50 frames a second costs through the sdl
// host: the whole process's processor time per second of play, and how
// evenly the frames reach the screen. Needs a display ($DISPLAY, e.g. Xvfb);
// without one it reports an error and measures nothing.
//   KAZE_BENCH_SECONDS  length of the run (default 10)
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/sdl/sdl_host.h"

namespace {

using kaze::host::kScreenHeight;
using kaze::host::kScreenWidth;

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The program's two loops in miniature: the game thread paces 20 ms frames
// and flips a picture each time, the same one or one moved by a pixel; the
// main thread pumps events and sleeps 1 ms whenever the queue is empty.
void Play(kaze::host::Host& host, double seconds, bool moving) {
  std::atomic<bool> quit{false};
  host.StartThread([&] {
    std::vector<uint16_t> picture(size_t(kScreenWidth) * kScreenHeight);
    const kaze::host::Frame frame{picture.data(), kScreenWidth * 2, kaze::host::PixelLayout::Rgb565};
    uint32_t last = 0;
    for (uint32_t shift = 0; !quit.load(); shift += moving ? 1 : 0) {
      const uint32_t now = host.TickCount();
      if (now - last < 20) host.Sleep(20 - (now - last));
      last = host.TickCount();
      for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint16_t((i + shift) * 2654435761u >> 16);
      host.PresentFrame(frame);
      host.Sleep(1);
    }
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    kaze::host::Event event;
    while (host.PollEvent(event)) {
    }
    host.Sleep(1);
  }
  quit = true;
  host.Finish(0);
}

void MeasurePlay(benchmark::State& state, bool moving) {
  const char* secondsText = std::getenv("KAZE_BENCH_SECONDS");
  const double seconds = secondsText != nullptr ? std::atof(secondsText) : 10.0;
  const std::string log = "/tmp/kaze_bench_presents_" + std::to_string(getpid()) + ".txt";
  setenv("KAZE_SDL_PRESENT_LOG", log.c_str(), 1);

  for (auto _ : state) {
    std::string error;
    auto host = kaze::host::CreateSdlHost({.window = true, .scale = 2}, error);
    if (!host || !host->OpenScreen()) {
      state.SkipWithError(("no display: " + error).c_str());
      return;
    }
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    Play(*host, seconds, moving);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    state.counters["cpu_percent_of_one_core"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
  }

  std::ifstream presents(log);
  std::vector<double> times;
  for (double micros; presents >> micros;) times.push_back(micros / 1000.0);
  std::remove(log.c_str());
  std::vector<double> intervals;
  for (size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
  if (intervals.empty()) return;
  const auto within = std::count_if(intervals.begin(), intervals.end(), [](double ms) { return std::fabs(ms - 20.0) <= 2.0; });
  std::sort(intervals.begin(), intervals.end());
  state.counters["frames"] = double(times.size());
  state.counters["percent_within_2ms_of_20ms"] = 100.0 * double(within) / double(intervals.size());
  state.counters["interval_p1_ms"] = intervals[intervals.size() / 100];
  state.counters["interval_median_ms"] = intervals[intervals.size() / 2];
  state.counters["interval_p99_ms"] = intervals[intervals.size() * 99 / 100];
  state.counters["interval_max_ms"] = intervals.back();
}
void BM_StillPictureAt50FpsIn2xWindow(benchmark::State& state) { MeasurePlay(state, false); }
void BM_MovingPictureAt50FpsIn2xWindow(benchmark::State& state) { MeasurePlay(state, true); }
BENCHMARK(BM_StillPictureAt50FpsIn2xWindow)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MovingPictureAt50FpsIn2xWindow)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
