// How fast a headless run plays the scenes before the story: the intro, the
// opening clicked away in its third part (the moth animation) and the title,
// on pictures of realistic sizes. Prints the virtual time the run covered,
// the real time and the processor time it took, and their ratio to the
// virtual time (goal: at most 1/50).
//   build/bench/kaze_bench_scene_cycle [DIR]   (DIR: where to write the data; default a temp folder)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "picture_files.h"
#include "vimage_encoder.h"

namespace {

namespace fs = std::filesystem;

// A picture that is not black anywhere (black is transparent to the blend):
// soft diagonal bands, so the encoder has runs and detail both.
vimage::RgbPicture Bands(int32_t width, int32_t height, uint32_t seed) {
  vimage::RgbPicture picture{width, height, {}};
  picture.colours.reserve(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = uint32_t(x + y + int32_t(seed) * 37);
      picture.colours.push_back(((64 + v % 192) << 16) | ((64 + (v / 3) % 192) << 8) | (64 + (v * 7 + seed) % 192));
    }
  return picture;
}

void Picture(const fs::path& data, const std::string& name, int32_t width, int32_t height) {
  fs::path path = data;
  std::string part;
  for (char c : name) {
    if (c == '\\') {
      path /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  path /= part;
  fs::create_directories(path.parent_path());
  vimage::WriteFileBytes(path, vimage::EncodeVImage(vimage::MakeBmp24(Bands(width, height, uint32_t(name.size())))));
}

void Sound(const fs::path& data, const std::string& name) {
  fs::create_directories(data / "SOUND");
  const uint32_t samples = 22050;  // two seconds at 11025 Hz, 8-bit mono
  std::vector<uint8_t> out;
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
  };
  auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
  text("RIFF"), put(36 + samples, 4), text("WAVE"), text("fmt "), put(16, 4), put(1, 2), put(1, 2), put(11025, 4),
      put(11025, 4), put(1, 2), put(8, 2), text("data"), put(samples, 4);
  for (uint32_t i = 0; i < samples; ++i) out.push_back(uint8_t(128 + (i % 50 < 25 ? 20 : -20)));
  std::ofstream(data / "SOUND" / (name + ".wav"), std::ios::binary)
      .write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
}

void WriteData(const fs::path& data) {
  for (const char* name : {"kazese01", "kazese02", "kazese03", "kazese04", "kazese06", "opening", "taiken"})
    Sound(data, name);
  Picture(data, "opening\\op0010.v", 400, 90);
  for (const char* name : {"taiken\\tik011.v", "taiken\\tik012.v", "taiken\\tik021.v", "taiken\\tik041.v",
                           "taiken\\tik061.v", "taiken\\tik081.v"})
    Picture(data, name, 260, 60);
  for (const char* name : {"taiken\\tik022.v", "taiken\\tik042.v", "taiken\\tik062.v"}) Picture(data, name, 450, 190);
  for (const char* name : {"taiken\\tik030.v", "taiken\\tik050.v", "taiken\\tik070.v", "opening\\op0030.v"})
    Picture(data, name, 640, 480);
  Picture(data, "opening\\op0031.v", 90, 420);
  Picture(data, "opening\\op0032.v", 160, 150);
  Picture(data, "opening\\op_free.v", 190, 82);
  for (int i = 1; i <= 30; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "anime\\MothA0%02d.v", i);
    Picture(data, name, 320, 240);
  }
  Picture(data, "main\\pp0010.v", 30, 248);
  Picture(data, "main\\pp0011.v", 30, 450);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "kaze_bench_scene_cycle";
  WriteData(root / "Data");
  // The intro ends at 74.3 s; the opening's third part runs from 84.0 s to
  // 94.4 s; the click at 90 s ends it, the title follows and ends near 100 s.
  const std::string script = (root / "script.txt").string();
  std::ofstream(script) << "90000 click left 320 240\n";
  const std::string until = "100400";
  std::vector<std::string> args{"kaze", "--headless", "--data", root.string(),  "--script",
                                script, "--until",    until,    "--start-tick", "100000"};
  std::vector<char*> argvOut;
  for (std::string& arg : args) argvOut.push_back(arg.data());
  argvOut.push_back(nullptr);

  const double cpu0 = CpuSeconds();
  const auto wall0 = std::chrono::steady_clock::now();
  const int code = kaze::cli::Run(int(args.size()), argvOut.data());
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  const double cpu = CpuSeconds() - cpu0;
  const double virtualSeconds = std::stod(until) / 1000.0;
  std::printf("exit code %d\nvirtual %.1f s, real %.3f s (1/%.0f), processor %.3f s (1/%.0f)\n", code, virtualSeconds,
              wall, virtualSeconds / wall, cpu, virtualSeconds / cpu);
  return code;
}
