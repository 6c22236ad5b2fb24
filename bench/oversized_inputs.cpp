// What files far larger than any the program needs cost it: a sound file of
// zeros (a chain of 8-byte empty chunks for the RIFF walk to step over), a
// WAV header whose RIFF chunk claims 4 GiB followed by zeros (the search for
// "data" steps over them), and a picture file of zeros, a small picture
// with a long tail, or one that claims the largest decoded size. Goal: at
// most a second for any sound file under 1 GiB, and a picture read no
// further than its decoded size can use, with no buffer of it kept after the
// load.
//
// Run: kaze_bench_oversized_inputs [benchmark flags]
// The files are sparse, made in a temporary folder: they take no disk space
// and read as zeros. Counters: mmio's file reads, seeks and bytes per load;
// VmHWM and VmRSS of the process (MiB) after the benchmark.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture_files.h"
#include "platform/kernel32/files.h"
#include "platform/winmm/mmio_work.h"
#include "shell/shared_flags.h"
#include "sound/sound_bank.h"
#include "support/headless_display.h"
#include "vimage_encoder.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMiB = uint64_t{1} << 20;

const fs::path& Root() {
  static const fs::path root = fs::temp_directory_path() / "kaze-bench-oversized";
  return root;
}

// Writes `head` and makes the file `length` bytes long; the rest is a hole.
void WriteSparse(const fs::path& path, const std::vector<uint8_t>& head, uint64_t length) {
  fs::create_directories(path.parent_path());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
  }
  fs::resize_file(path, length);
}

void Le32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// "RIFF" claiming almost 4 GiB, "WAVE", a 16-byte PCM format chunk; zeros
// after it.
std::vector<uint8_t> WaveHeaderClaimingEverything() {
  std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
  Le32(bytes, 0xFFFFFFF0u);
  for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<uint8_t>(c));
  Le32(bytes, 16);
  for (uint32_t field : {0x00010001u, 22050u, 22050u, 0x00080001u}) Le32(bytes, field);
  return bytes;
}

void MakeFiles() {
  const fs::path sound = Root() / "Data" / "sound";
  WriteSparse(sound / "zeros64m.wav", {}, 64 * kMiB);
  WriteSparse(sound / "zeros1g.wav", {}, 1024 * kMiB);
  WriteSparse(sound / "header1g.wav", WaveHeaderClaimingEverything(), 1024 * kMiB);
  WriteSparse(Root() / "Data" / "zeros1g.v", {}, 1024 * kMiB);
  vimage::RgbPicture picture{640, 480, std::vector<uint32_t>(640 * 480, 0x336699)};
  const std::vector<uint8_t> small = vimage::EncodeVImage(vimage::MakeBmp24(picture));
  WriteSparse(Root() / "Data" / "tail1g.v", small, 1024 * kMiB);
  // Claims the largest decoded size there is; zeros decode to zeros all
  // the way.
  WriteSparse(Root() / "Data" / "claims64m.v", {0x00, 0x00, 0x00, 0x04}, 1024 * kMiB);
}

// A field of /proc/self/status in MiB.
double StatusMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size() + 1)) / 1024.0;
  return 0;
}

void ReportMemory(benchmark::State& state) {
  state.counters["VmHWM_MiB"] = StatusMiB("VmHWM");
  state.counters["VmRSS_MiB"] = StatusMiB("VmRSS");
}

const char* const kSounds[] = {"zeros64m", "zeros1g", "header1g"};

// range(0): the file of kSounds. Every one fails to load; the time is the
// walk that finds out.
void BM_LoadOversizedSound(benchmark::State& state) {
  HeadlessDisplay display;  // a host for the load's trace and messages
  SoundBank bank;
  const char* name = kSounds[state.range(0)];
  state.SetLabel(name);
  const kaze::platform::MmioFileWork before = kaze::platform::MmioFileWorkSoFar();
  for (auto _ : state) benchmark::DoNotOptimize(bank.LoadWave(name));
  const kaze::platform::MmioFileWork after = kaze::platform::MmioFileWorkSoFar();
  const double loads = static_cast<double>(state.iterations());
  state.counters["reads"] = static_cast<double>(after.reads - before.reads) / loads;
  state.counters["seeks"] = static_cast<double>(after.seeks - before.seeks) / loads;
  state.counters["read_MiB"] = static_cast<double>(after.bytes - before.bytes) / loads / kMiB;
  ReportMemory(state);
}
BENCHMARK(BM_LoadOversizedSound)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

const char* const kPictures[] = {"zeros1g.v", "tail1g.v", "claims64m.v"};

// range(0): the file of kPictures, loaded into a slot and released.
void BM_LoadOversizedPicture(benchmark::State& state) {
  HeadlessDisplay display;
  const char* name = kPictures[state.range(0)];
  state.SetLabel(name);
  int loaded = 0;
  for (auto _ : state) {
    loaded += display.Device().LoadImageSlot(1, name, 0, -1);
    display.Device().ReleaseSlot(1);
  }
  state.counters["loaded"] = loaded;
  ReportMemory(state);
}
BENCHMARK(BM_LoadOversizedPicture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  MakeFiles();
  kaze::platform::SetDataRoot(Root());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(Root());
  return 0;
}
