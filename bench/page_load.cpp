// Time to enter each story page: release the previous page's pictures and
// load the new page's background, overlays and text lines from their VImage
// files (decode, bitmap in the display's format, system-memory surface), as
// the story does in the frame in which a page has faded out (page 2 also
// presents a frame as it starts its sound loop). Goal: at most 5 ms per page.
//
// Run: kaze_bench_page_load [benchmark flags] [--data=DIR]
// DIR holds the Data folder (the demo data set: <build>/demo). Without it
// the KAZE_DEMO_DIR environment variable names it; without that, pictures of
// a real page's sizes are generated in a temporary folder.
#include <benchmark/benchmark.h>
#include <ddraw.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/display_device.h"
#include "game/fade.h"
#include "game/page_tables.h"
#include "game/story.h"
#include "host/headless/headless_host.h"
#include "picture_files.h"
#include "platform/kernel32/files.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"
#include "support/headless_display.h"
#include "vimage_encoder.h"

namespace {

namespace fs = std::filesystem;

// An illustration-like picture: smooth colour with fine noise, which the
// VImage coding compresses about as badly as real artwork.
vimage::RgbPicture Illustration(int32_t width, int32_t height, uint32_t seed) {
  vimage::RgbPicture picture{width, height, {}};
  picture.colours.reserve(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const uint32_t noise = (seed >> 24) & 0x0F;
      const uint32_t r = (x * 255 / width) ^ noise, g = (y * 255 / height) ^ noise, b = ((x + y) & 0xFF) ^ noise;
      picture.colours.push_back(r << 16 | g << 8 | b);
    }
  return picture;
}

void WritePicture(const fs::path& data, const std::string& name, int32_t width, int32_t height) {
  const fs::path path = data / name;
  fs::create_directories(path.parent_path());
  vimage::WriteFileBytes(path,
                         vimage::EncodeVImage(vimage::MakeBmp24(Illustration(width, height, width * 31 + height))));
}

// The pictures the pages load, at the sizes of a real page: full-screen
// backgrounds, the smaller backgrounds of pages 5 and 6, page 3's overlay,
// page 6's animation frames and tall, narrow vertical text lines.
fs::path GeneratePages() {
  const fs::path root = fs::temp_directory_path() / "kaze-bench-pages";
  const fs::path data = root / "Data";
  for (int page : {1, 2, 3}) WritePicture(data, "main/st00" + std::to_string(page) + "0.v", 640, 450);
  WritePicture(data, "main/st0070.v", 640, 480);
  WritePicture(data, "main/st0050.v", 348, 420);
  WritePicture(data, "main/st0060.v", 370, 450);
  WritePicture(data, "main/st0030m.v", 200, 150);
  for (int i = 1; i <= 3; ++i) WritePicture(data, "anime/st006a" + std::to_string(i) + ".v", 120, 100);
  for (int page = 1; page <= 7; ++page)
    for (int line = 1; line <= StageInfo[page].lineCount; ++line)
      WritePicture(data, "main/st00" + std::to_string(page) + std::to_string(line) + ".v", 28, 400);
  return root;
}

fs::path DataRoot(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* demo = std::getenv("KAZE_DEMO_DIR"); demo != nullptr && *demo != '\0') return demo;
  return GeneratePages();
}

// Message boxes so far: a picture that could not be loaded.
size_t Failures(HeadlessDisplay& display) {
  size_t count = 0;
  for (const std::string& line : display.Host().TraceLines()) count += line.find("\"msgbox\"") != std::string::npos;
  return count;
}

void BM_EnterPage(benchmark::State& state) {
  HeadlessDisplay display;
  Stage = static_cast<int32_t>(state.range(0));
  // The story runs with the sound switch on (the intro turns it on), so
  // entering page 2 starts its loop the way the program does: a frame is
  // presented first. There is no sound bank, so no channel plays.
  SoundEnabled = 1;
  for (auto _ : state) {
    // The page before page 2 stopped its loop: each entry starts it again.
    EffectLooping[2] = 0;
    // What ProcessStageCommand does once the page has faded out.
    ResetStageLines();
    LoadStage();
    FadeState = kFadeInRequested;
  }
  SoundEnabled = 3;
  if (Failures(display) != 0) state.SkipWithError("a picture of the page could not be loaded");
}
BENCHMARK(BM_EnterPage)->Arg(1)->Arg(2)->Arg(3)->Arg(5)->Arg(6)->Arg(7)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string given;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--data=", 7) == 0) given = argv[i] + 7;
  const fs::path root = DataRoot(given);
  std::printf("pages from %s\n", root.string().c_str());
  kaze::platform::SetDataRoot(root);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
