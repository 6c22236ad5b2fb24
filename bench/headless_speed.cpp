// How fast the headless host plays the story: three whole cycles of it on
// the demo data set (bench/three_cycles.script, 900 virtual seconds), with
// the trace written and without, as virtual seconds per wall second (goal:
// 300 with the trace on); and the frame checksum's throughput over one
// 640x480 frame, the host's beside zlib's crc32.
//   build/release/bench/kaze_bench_headless_speed
// KAZE_BENCH_PROGRAM=path/to/kaze runs another build's program instead, to
// compare two builds on the same script.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/headless/frame_files.h"

extern char** environ;

namespace {

constexpr const char* kUntilMs = "900000";
constexpr size_t kFramePixels = 640 * 480;

// One whole run of the script by the program itself, in a process of its
// own as a test or a recording runs it (the program's globals are made for
// one run a process); false when it did not end with exit code 0. `usage`:
// the processor time and memory the run took.
bool PlayThreeCycles(const std::string& tracePath, rusage& usage) {
  const char* other = std::getenv("KAZE_BENCH_PROGRAM");
  const std::string program = other != nullptr && *other != '\0' ? other : KAZE_PROGRAM;
  std::vector<std::string> args{program,   "--headless", "--data", KAZE_DEMO_DIR, "--script", KAZE_THREE_CYCLES_SCRIPT,
                                "--until", kUntilMs};
  if (!tracePath.empty()) args.insert(args.end(), {"--trace", tracePath});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (wait4(child, &status, 0, &usage) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

void PlayAndCount(benchmark::State& state, bool trace) {
  const std::string tracePath =
      trace ? (std::filesystem::temp_directory_path() / "kaze_bench_headless_speed.jsonl").string() : "";
  double wall = 0, processor = 0, peakKb = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    rusage usage{};
    if (!PlayThreeCycles(tracePath, usage)) state.SkipWithError("the run did not end with exit code 0");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    wall += took.count();
    state.SetIterationTime(took.count());
    processor += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    peakKb = std::max(peakKb, static_cast<double>(usage.ru_maxrss));
  }
  const double virtualSeconds = std::stod(kUntilMs) / 1000.0 * static_cast<double>(state.iterations());
  // Per wall second, the goal's measure; per processor second, which the
  // machine's other work disturbs less.
  state.counters["virtual_s_per_s"] = virtualSeconds / wall;
  state.counters["virtual_s_per_cpu_s"] = virtualSeconds / processor;
  state.counters["peak_rss_mb"] = peakKb / 1024.0;
  if (!tracePath.empty()) std::filesystem::remove(tracePath);
}

void BM_ThreeCyclesTraceOn(benchmark::State& state) { PlayAndCount(state, true); }
void BM_ThreeCyclesTraceOff(benchmark::State& state) { PlayAndCount(state, false); }
BENCHMARK(BM_ThreeCyclesTraceOn)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_ThreeCyclesTraceOff)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// A frame with detail everywhere, as a page of the story has.
std::vector<uint16_t> BusyFrame() {
  std::vector<uint16_t> pixels(kFramePixels);
  uint32_t value = 12345;
  for (uint16_t& pixel : pixels) {
    value = value * 1103515245u + 12345u;
    pixel = static_cast<uint16_t>(value >> 16);
  }
  return pixels;
}

void BM_FrameCrc(benchmark::State& state) {
  const std::vector<uint16_t> pixels = BusyFrame();
  for (auto _ : state) benchmark::DoNotOptimize(kaze::host::FrameCrc(pixels));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFramePixels * 2));
}
BENCHMARK(BM_FrameCrc)->Unit(benchmark::kMicrosecond);

void BM_ZlibCrc32(benchmark::State& state) {
  const std::vector<uint16_t> pixels = BusyFrame();
  for (auto _ : state)
    benchmark::DoNotOptimize(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(pixels.data()),
                                   static_cast<uInt>(kFramePixels * 2)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFramePixels * 2));
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
