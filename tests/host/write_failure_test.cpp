// The run's files when the disk fills: each writer keeps what reached the
// file as a valid file (whole sample frames under a true header, whole
// video frames, whole trace lines, a whole snapshot or none), says the
// first failure in one line and asks the run to end once.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "host/headless/trace_writer.h"
#include "host/png_file.h"
#include "host/wav_writer.h"
#include "host/write_failure.h"
#include "host/y4m_writer.h"
#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "support/limited_child.h"

namespace kaze::test {
namespace {

constexpr uint64_t kWavHeader = 44, kY4mHeader = 43, kY4mFrame = 6 + 640 * 480 * 3 / 2;

// Writing as a run does, with the record of failures begun as a host
// begins it: the child's exit code is the number of times the run was
// asked to end.
int Written(const std::function<void()> write) {
  int endings = 0;
  host::TheWriteFailures().Begin([&] { ++endings; });
  write();
  return endings;
}

void WriteSound(const std::string& path, size_t frames) {
  host::WavWriter wav;
  std::string error;
  if (!wav.Open(path, 44100, error)) return;
  std::vector<int16_t> tone(2 * 441, 1000);
  for (size_t done = 0; done < frames; done += 441) wav.Append(tone.data(), 441);
  wav.Close();
}

void WriteVideo(const std::string& path, uint64_t frames) {
  host::Y4mWriter video;
  std::string error;
  if (!video.Open(path, error)) return;
  const std::vector<uint16_t> red(640 * 480, 0xF800);
  video.SetPicture(red.data(), 1280, host::PixelLayout::Rgb565);
  for (uint64_t i = 0; i < frames; ++i) video.WriteFrames(1);
  video.Close();
}

void WriteTrace(const std::string& path, int lines) {
  host::TraceWriter trace;
  std::string error;
  if (!trace.Open(path, false, error)) return;
  for (int i = 0; i < lines; ++i) trace.Write(static_cast<uint64_t>(i) * 20, "frame", {{"flip", int64_t{i}}});
  trace.Close();
}

// What is left of a file: "" when it is valid (or gone, when `gone`).
std::string WholeSound(const std::string& bytes, uint64_t dataBytes) {
  if (bytes.size() != kWavHeader + dataBytes) return "size " + std::to_string(bytes.size());
  if (Le32(bytes, 4) != bytes.size() - 8 || Le32(bytes, 40) != dataBytes) return "the header's sizes";
  return "";
}

TEST(FullDisk, EachWriterKeepsWholeRecordsUnderATrueHeaderAndSaysTheFailureOnce) {
  struct Case {
    const char* name;
    const char* file;  // what the line calls it
    uint64_t limit;
    std::function<void(const std::string&)> write;
    std::function<std::string(const std::string&)> left;  // "" when what is left is right
  };
  const Case cases[] = {
      // The limit falls inside a sample frame, during the appends.
      {"run.wav", "the sound recording", kWavHeader + 4 * 20000 + 2, [](auto& path) { WriteSound(path, 100000); },
       [](const std::string& bytes) { return WholeSound(bytes, 4 * 20000); }},
      // Only at the close, with everything still in the buffer.
      {"short.wav", "the sound recording", kWavHeader + 4 * 100 + 3, [](auto& path) { WriteSound(path, 441); },
       [](const std::string& bytes) { return WholeSound(bytes, 4 * 100); }},
      {"run.y4m", "the recording", kY4mHeader + 2 * kY4mFrame + 1000, [](auto& path) { WriteVideo(path, 5); },
       [](const std::string& bytes) {
         return bytes.size() == kY4mHeader + 2 * kY4mFrame ? "" : "size " + std::to_string(bytes.size());
       }},
      {"run.jsonl", "the trace", 1000, [](auto& path) { WriteTrace(path, 100); },
       [](const std::string& bytes) {
         const bool whole = bytes.size() > 900 && bytes.back() == '\n' && ParseTrace(bytes).size() > 20 &&
                            Events(ParseTrace(bytes), "unparsable").empty();
         return whole ? "" : "not whole lines: " + bytes.substr(bytes.size() > 80 ? bytes.size() - 80 : 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = (dir.path() / c.name).string();
    const ChildRun run = RunWithFileLimit(c.limit, [&] { return Written([&] { c.write(path); }); });
    EXPECT_EQ(run.exitCode, 1) << "asked to end once";
    EXPECT_EQ(run.stderrText, "kaze: cannot write " + std::string(c.file) + " " + path + ": File too large\n");
    EXPECT_EQ(c.left(ReadAll(path)), "");
  }
}

// A file that did not get even its header is no file of its kind: it is
// removed. A snapshot is whole or not there, with nothing of it beside.
TEST(FullDisk, AFileWithoutAWholeHeaderAndAnUnfinishedSnapshotAreRemoved) {
  TempDir dir;
  const std::string sound = (dir.path() / "run.wav").string(), video = (dir.path() / "run.y4m").string();
  const std::string snapshot = (dir.path() / "snap-10.png").string();
  const ChildRun run = RunWithFileLimit(30, [&] {
    return Written([&] {
      WriteSound(sound, 441);
      WriteVideo(video, 1);
      const std::vector<uint16_t> noise(640 * 480, 0x1234);
      if (host::WritePng(snapshot, noise, 640, 480, host::PixelLayout::Rgb565) != EFBIG) std::_Exit(9);
    });
  });
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.stderrText, "kaze: cannot write the sound recording " + sound + ": File too large\n")
      << "only the first failure is said";
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << std::filesystem::directory_iterator(dir.path())->path();
}

// /dev/full named through a link: the write fails as on a full disk, and
// neither the device nor the name is touched (were the name removed, only
// the link would go).
TEST(FullDisk, ADeviceNamedAsTheFileIsNeitherCutNorRemoved) {
  TempDir dir;
  const std::filesystem::path full = dir.path() / "full", null = dir.path() / "null";
  std::filesystem::create_symlink("/dev/full", full);
  std::filesystem::create_symlink("/dev/null", null);
  const ChildRun run = RunWithFileLimit(1 << 30, [&] {
    return Written([&] {
      WriteSound(full.string(), 441);
      host::Y4mWriter video;
      std::string error;
      if (video.Open(null.string(), error)) video.Discard();
    });
  });
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.stderrText, "kaze: cannot write the sound recording " + full.string() + ": No space left on device\n");
  EXPECT_TRUE(std::filesystem::is_symlink(full));
  EXPECT_TRUE(std::filesystem::is_symlink(null));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

}  // namespace
}  // namespace kaze::test
