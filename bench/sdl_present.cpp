// What showing a still picture at 50 frames a second costs through the sdl
// host: the whole process's processor time per second of play, and how
// evenly the frames reach the screen. Needs a display ($DISPLAY, e.g. Xvfb);
// without one it reports an error and measures nothing.
//   KAZE_BENCH_SECONDS  length of the run (default 10)
//   SDL_RENDER_DRIVER   the renderer (software: the scaling modes' path on
//                       the processor)
//   KAZE_BENCH_NO_VSYNC=1  present as --no-vsync does
// The full-screen runs cover the desktop; on a 1920x1080 one the picture is
// 2.25x, where the scaling modes differ.
// The intervals between presentations are also printed on stderr as a
// histogram in whole milliseconds.
#include <benchmark/benchmark.h>

#ifdef KAZE_HAVE_SDL
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
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
std::vector<double> gPublishMs;  // game thread: when each frame was flipped

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Play(kaze::host::Host& host, double seconds, bool moving) {
  std::atomic<bool> quit{false};
  gPublishMs.clear();
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
      gPublishMs.push_back(NowMs());
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

// The share of intervals between successive times within 2 ms of 20 ms,
// and the 1st and 99th percentile of the intervals.
void ReportSpread(benchmark::State& state, const std::string& name, const std::vector<double>& times) {
  std::vector<double> intervals;
  for (size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
  if (intervals.size() < 2) return;
  const auto even =
      std::count_if(intervals.begin(), intervals.end(), [](double ms) { return std::fabs(ms - 20.0) <= 2.0; });
  std::sort(intervals.begin(), intervals.end());
  state.counters[name + "_within_2ms_percent"] = 100.0 * double(even) / double(intervals.size());
  state.counters[name + "_p1_ms"] = intervals[intervals.size() / 100];
  state.counters[name + "_p99_ms"] = intervals[intervals.size() * 99 / 100];
}

// Intervals between successive times, counted by whole milliseconds.
void PrintHistogram(const char* name, const std::vector<double>& times) {
  std::map<long, int> counts;
  for (size_t i = 1; i < times.size(); ++i) ++counts[std::lround(std::floor(times[i] - times[i - 1]))];
  std::fprintf(stderr, "%s: intervals between presentations (ms, from-to: count)\n", name);
  for (const auto& [ms, count] : counts) std::fprintf(stderr, "  %3ld-%-3ld %6d\n", ms, ms + 1, count);
}

void MeasurePlay(benchmark::State& state, bool moving, kaze::host::SdlHostOptions options) {
  const char* secondsText = std::getenv("KAZE_BENCH_SECONDS");
  const double seconds = secondsText != nullptr ? std::atof(secondsText) : 10.0;
  const std::string log = "/tmp/kaze_bench_presents_" + std::to_string(getpid()) + ".txt";
  setenv("KAZE_SDL_PRESENT_LOG", log.c_str(), 1);

  double cpuSeconds = 0;
  for (auto _ : state) {
    std::string error;
    options.vsync = std::getenv("KAZE_BENCH_NO_VSYNC") == nullptr;
    auto host = kaze::host::CreateSdlHost(options, error);
    if (!host || !host->OpenScreen({})) {
      state.SkipWithError(("no display: " + error).c_str());
      return;
    }
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    Play(*host, seconds, moving);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    cpuSeconds = ProcessCpuSeconds() - cpuBefore;
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpuSeconds / wall;
  }

  std::vector<double> taken, presented;
  std::ifstream presents(log);
  for (double takenUs, presentedUs; presents >> takenUs >> presentedUs;) {
    taken.push_back(takenUs / 1000.0);
    presented.push_back(presentedUs / 1000.0);
  }
  std::remove(log.c_str());
  state.counters["frames_presented"] = double(presented.size());
  // What a presented frame costs the whole process, which on a busy
  // machine that presents fewer frames compares better than the share.
  if (!presented.empty()) state.counters["cpu_ms_per_present"] = 1000.0 * cpuSeconds / double(presented.size());
  // Three steps of a frame's way: the game thread flips it, the main thread
  // takes it up, the presentation returns.
  ReportSpread(state, "flips", gPublishMs);
  ReportSpread(state, "takes", taken);
  ReportSpread(state, "presents", presented);
  PrintHistogram(moving ? "moving picture" : "still picture", presented);
  std::vector<double> drawMs;
  for (size_t i = 0; i < presented.size(); ++i) drawMs.push_back(presented[i] - taken[i]);
  if (!drawMs.empty()) {
    std::sort(drawMs.begin(), drawMs.end());
    state.counters["present_ms_median"] = drawMs[drawMs.size() / 2];
    state.counters["present_ms_p99"] = drawMs[drawMs.size() * 99 / 100];
  }
}

kaze::host::SdlHostOptions Screen(bool window, kaze::host::ScalingMode scaling) {
  kaze::host::SdlHostOptions options;
  options.window = window;
  options.scale = window ? 2 : 0;
  options.scaling = scaling;
  return options;
}
const kaze::host::SdlHostOptions kWindow2x = Screen(true, kaze::host::ScalingMode::Sharp);

void BM_StillPictureAt50FpsIn2xWindow(benchmark::State& state) { MeasurePlay(state, false, kWindow2x); }
void BM_MovingPictureAt50FpsIn2xWindow(benchmark::State& state) { MeasurePlay(state, true, kWindow2x); }
void BM_MovingPictureAt50FpsFullScreen(benchmark::State& state, kaze::host::ScalingMode scaling) {
  MeasurePlay(state, true, Screen(false, scaling));
}
BENCHMARK(BM_StillPictureAt50FpsIn2xWindow)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MovingPictureAt50FpsIn2xWindow)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_MovingPictureAt50FpsFullScreen, nearest, kaze::host::ScalingMode::Nearest)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_MovingPictureAt50FpsFullScreen, sharp, kaze::host::ScalingMode::Sharp)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_MovingPictureAt50FpsFullScreen, pixel, kaze::host::ScalingMode::Pixel)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

#endif  // KAZE_HAVE_SDL

BENCHMARK_MAIN();
