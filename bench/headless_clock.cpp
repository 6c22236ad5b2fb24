// How fast the headless host runs virtual time: one iteration is one virtual
// second of the program's two threads as they run in play (the main thread's
// 1 ms message loop, the game thread's 50 paced frames with a flip of an
// unchanged 640x480 picture). Real time per iteration below 10 ms lets a
// ten-minute story cycle run in a few seconds. Run: build/bench/kaze_bench_headless_clock
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>
#include <vector>

#include "host/headless/headless_host.h"

namespace {

void BM_VirtualSecondOfPlay(benchmark::State& state) {
  std::string error;
  auto host = kaze::host::CreateHeadlessHost({}, error);
  std::vector<uint16_t> picture(640 * 480, 0x1234);
  const kaze::host::Frame frame{picture.data(), 640 * 2, kaze::host::PixelLayout::Rgb565};
  std::atomic<bool> stop{false};
  host->StartThread([&] {
    while (!stop.load()) {
      host->Sleep(19);
      host->PresentFrame(frame);
      host->Sleep(1);
    }
  });
  for (auto _ : state) {
    for (int ms = 0; ms < 1000; ++ms) {
      kaze::host::Event event;
      while (host->PollEvent(event)) {
      }
      host->Sleep(1);
    }
  }
  stop.store(true);
  host->Sleep(40);
  host->Finish(0);
  state.counters["flips"] = static_cast<double>(host->Flips());
}
BENCHMARK(BM_VirtualSecondOfPlay)->Unit(benchmark::kMillisecond);

void BM_PresentUnchangedFrame(benchmark::State& state) {
  std::string error;
  auto host = kaze::host::CreateHeadlessHost({}, error);
  std::vector<uint16_t> picture(640 * 480, 0x1234);
  const kaze::host::Frame frame{picture.data(), 640 * 2, kaze::host::PixelLayout::Rgb565};
  for (auto _ : state) host->PresentFrame(frame);
  host->Finish(0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 640 * 480 * 2);
}
BENCHMARK(BM_PresentUnchangedFrame)->Unit(benchmark::kMicrosecond);

void BM_PresentChangedFrame(benchmark::State& state) {
  std::string error;
  auto host = kaze::host::CreateHeadlessHost({}, error);
  std::vector<uint16_t> picture(640 * 480, 0x1234);
  const kaze::host::Frame frame{picture.data(), 640 * 2, kaze::host::PixelLayout::Rgb565};
  uint16_t colour = 0;
  for (auto _ : state) {
    picture[320 * 240] = ++colour;  // one pixel differs: copy and checksum
    host->PresentFrame(frame);
  }
  host->Finish(0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 640 * 480 * 2);
}
BENCHMARK(BM_PresentChangedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
