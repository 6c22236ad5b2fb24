// The demo data set that the build generates (KAZE_DEMO_DIR): the program
// finds and loads everything it asks for, the generator makes the same
// bytes every time and replaces only a folder of its own, and its sounds
// are what the player should hear.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "folder_marker.h"
#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "vimage_commands.h"

namespace {

namespace fs = std::filesystem;
using kaze::test::Events;
using kaze::test::ReadAll;
using kaze::test::RunKaze;
using kaze::test::RunProgram;
using kaze::test::TempDir;

const fs::path kDemo = KAZE_DEMO_DIR;
// The marker an older make-demo-data left: a note that proves nothing.
const std::string kOlderNote = "written by make-demo-data; it replaces this folder when run again\n";

// Every regular file below `root`, by its path relative to it.
std::map<std::string, std::string> FilesBelow(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ReadAll(entry.path());
  return files;
}

// The program through every scene that runs, on the generated set: each
// picture and sound it names must be there and load. The headless trace
// tells of a missing or bad picture with a message box and of a sound that
// would not load with a debug line.
TEST(DemoData, EveryPictureAndSoundTheProgramAsksForIsThereAndLoads) {
  const auto run = RunKaze({"--data", kDemo.string(), "--until", "4000"});
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  for (const auto& box : Events(run.trace, "msgbox")) ADD_FAILURE() << box.text;
  for (const auto& debug : Events(run.trace, "debug")) ADD_FAILURE() << debug.text;

  int opened = 0;
  std::set<int64_t> bits, rates, channels;
  for (const auto& sound : Events(run.trace, "sound")) {
    if (sound.Str("op") == "open") {
      ++opened;
      EXPECT_TRUE(sound.Bool("found")) << sound.text;
    } else if (sound.Str("op") == "load") {
      bits.insert(sound.Int("bits"));
      rates.insert(sound.Int("rate"));
      channels.insert(sound.Int("channels"));
    }
  }
  EXPECT_EQ(opened, 7);
  // Both sample sizes, two rates and both channel counts, so that a run of
  // the demo exercises each of the player's conversions.
  EXPECT_EQ(bits, (std::set<int64_t>{8, 16}));
  EXPECT_GE(rates.size(), 2u);
  EXPECT_EQ(channels, (std::set<int64_t>{1, 2}));

  std::ostringstream out, err;
  EXPECT_EQ(vimage::RunVImage({"check", kDemo.string()}, out, err), 0) << out.str() << err.str();
}

// A second run of the generator gives the build's set again, byte for
// byte, and the whole set stays small.
TEST(DemoData, MakingTheSetAgainGivesTheSameBytes) {
  TempDir dir;
  const auto made = RunProgram({KAZE_MAKE_DEMO_DATA, dir.path().string()});
  ASSERT_EQ(made.exitCode, 0) << made.stderrText;
  const auto again = FilesBelow(dir.path() / "Data");
  const auto built = FilesBelow(kDemo / "Data");
  size_t total = 0;
  for (const auto& [name, bytes] : built) {
    total += bytes.size();
    const auto twin = again.find(name);
    ASSERT_NE(twin, again.end()) << name;
    EXPECT_TRUE(twin->second == bytes) << name << " differs";
  }
  EXPECT_EQ(again.size(), built.size());
  EXPECT_LT(total, 20u << 20);
}

// A file's size and CRC-32: enough to tell any edit, and cheap for the
// whole set in a sanitizer build (read a block at a time into one buffer).
std::string Fingerprint(const fs::path& path) {
  static std::vector<char> block(size_t{1} << 16);
  std::ifstream in(path, std::ios::binary);
  uint64_t size = 0;
  uint32_t crc = 0;
  while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0) {
    crc = demo::Crc32(reinterpret_cast<const uint8_t*>(block.data()), size_t(in.gcount()), crc);
    size += uint64_t(in.gcount());
  }
  return std::to_string(size) + " " + std::to_string(crc);
}

// Every entry below `root`, by its path relative to it: a file's
// fingerprint, a link's target, or that it is a folder.
std::map<std::string, std::string> EntriesBelow(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).string();
    if (entry.is_symlink())
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    else if (entry.is_directory())
      entries[name] = "folder";
    else
      entries[name] = Fingerprint(entry.path());
  }
  return entries;
}

// The build's set with its marker, as a player copies it (cp -r).
void CopyDemoSet(const fs::path& data) { fs::copy(kDemo / "Data", data, fs::copy_options::recursive); }

void Put(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

demo::MarkedFile Marked(const std::string& path, const std::string& bytes) {
  return {path, bytes.size(), demo::Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())};
}

// A set an earlier generator wrote: the build's, with the first sound made
// otherwise and a file in a folder that today's set no longer has, all
// vouched for by its marker.
void PutEarlierSet(const fs::path& data) {
  CopyDemoSet(data);
  std::vector<demo::MarkedFile> marked = *demo::ParseMarker(ReadAll(data / demo::kMarkerName));
  for (const auto& [name, contents] : {std::pair<std::string, std::string>{"SOUND/kazese01.wav", "an earlier sound"},
                                       {"gone/st9999.v", "a picture since dropped"}}) {
    // References of their own: clang 14 lets no lambda capture a structured
    // binding.
    const std::string& path = name;
    const std::string& bytes = contents;
    Put(data / path, bytes);
    std::erase_if(marked, [&](const demo::MarkedFile& file) { return file.path == path; });
    marked.push_back(Marked(path, bytes));
  }
  fs::remove(data / demo::kMarkerName);
  Put(data / demo::kMarkerName, demo::FormatMarker(marked));
}

// The generator replaces a data folder only when everything in it is its
// own, unchanged. A player who copied the demo set to start their own and
// then changed it in any way keeps every file as they left it, and hears
// which entry stopped the tool.
TEST(DemoData, TheGeneratorLeavesAPlayersEditedCopyAsItIs) {
  const struct {
    const char* edit;
    std::function<void(const fs::path& dir)> apply;
    const char* named;  // the entry the refusal names, below dir
  } edits[] = {
      {"a replaced picture", [](const fs::path& dir) { Put(dir / "Data/main/st0010.v", "mine"); },
       "Data/main/st0010.v"},
      {"an added file", [](const fs::path& dir) { Put(dir / "Data/notes.txt", "mine"); }, "Data/notes.txt"},
      {"an added folder", [](const fs::path& dir) { fs::create_directory(dir / "Data/mine"); }, "Data/mine"},
      {"a link", [](const fs::path& dir) { fs::create_symlink("/etc/passwd", dir / "Data/main/passwd"); },
       "Data/main/passwd"},
      {"an edited marker that lists the player's file",
       [](const fs::path& dir) {
         Put(dir / "Data/notes.txt", "mine");
         std::string marker = ReadAll(dir / "Data" / demo::kMarkerName);
         const demo::MarkedFile notes = Marked("notes.txt", "mine");
         char line[64];
         std::snprintf(line, sizeof line, "%08x %u notes.txt\n", unsigned(notes.crc), unsigned(notes.size));
         marker.insert(marker.rfind("end "), line);
         Put(dir / "Data" / demo::kMarkerName, marker);
       },
       "Data/notes.txt"},
      {"an older tool's note and a replaced picture",
       [](const fs::path& dir) {
         Put(dir / "Data" / demo::kMarkerName, kOlderNote);
         Put(dir / "Data/main/st0010.v", "mine");
       },
       "Data/main/st0010.v"},
      {"a file left half written",
       [](const fs::path& dir) { Put(dir / "Data/main/st0010.v.make-demo-data-partial", "x"); },
       "Data/main/st0010.v.make-demo-data-partial"},
      {"no marker, in another letter case",
       [](const fs::path& dir) {
         fs::remove_all(dir / "Data");
         Put(dir / "DATA/main/st0010.v", "mine");
         Put(dir / "DATA/main/zz.v", "mine");
       },
       "DATA/main/zz.v"},  // surely not the tool's, known before anything is drawn
      {"Data a link to the player's folder",
       [](const fs::path& dir) {
         fs::rename(dir / "Data", dir / "theirs");
         fs::create_directory_symlink("theirs", dir / "Data");
       },
       "Data"},
  };
  for (const auto& edit : edits) {
    TempDir dir;
    CopyDemoSet(dir.path() / "Data");
    edit.apply(dir.path());
    const auto before = EntriesBelow(dir.path());
    const auto run = RunProgram({KAZE_MAKE_DEMO_DATA, dir.path().string()});
    EXPECT_EQ(run.exitCode, 1) << edit.edit;
    EXPECT_EQ(run.stderrText.rfind("make-demo-data: " + (dir.path() / edit.named).string() + ":", 0), 0u)
        << edit.edit << ": " << run.stderrText;
    EXPECT_TRUE(EntriesBelow(dir.path()) == before) << edit.edit << ": the player's files were touched";
  }

  const auto bare = RunProgram({KAZE_MAKE_DEMO_DATA});
  EXPECT_EQ(bare.exitCode, 2);
  EXPECT_NE(bare.stderrText.find("usage"), std::string::npos);
}

// What earlier runs left is replaced by today's set, exactly: the build's
// own set under an older tool's note (which proves nothing, so its files
// pass by being today's bytes), an empty data folder in another letter
// case, and an earlier generator's set (passed by its marker), even after
// a run that replaced its first sound and then could not write the next.
TEST(DemoData, TheGeneratorReplacesWhatEarlierRunsLeft) {
  const auto built = EntriesBelow(kDemo / "Data");
  {
    TempDir dir;
    CopyDemoSet(dir.path() / "Data");
    Put(dir.path() / "Data" / demo::kMarkerName, kOlderNote);
    fs::create_directory(dir.path() / "DATA");
    const auto run = RunProgram({KAZE_MAKE_DEMO_DATA, dir.path().string()});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_FALSE(fs::exists(dir.path() / "DATA"));
    EXPECT_TRUE(EntriesBelow(dir.path() / "Data") == built);
  }
  TempDir dir;
  PutEarlierSet(dir.path() / "Data");
  // No file may grow past 400 blocks (200 KB with dash's 512-byte blocks):
  // the first sound larger than that cannot be written.
  const char* limited = "trap '' XFSZ; ulimit -f 400 && exec \"$0\" \"$1\"";
  const auto cut = RunProgram({"/bin/sh", "-c", limited, KAZE_MAKE_DEMO_DATA, dir.path().string()});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_EQ(cut.stderrText,
            "make-demo-data: cannot write " + (dir.path() / "Data/SOUND/kazese02.wav").string() + ": File too large\n");
  for (const auto& [name, bytes] : EntriesBelow(dir.path()))
    EXPECT_EQ(name.find("partial"), std::string::npos) << name << " was left behind";
  const auto again = RunProgram({KAZE_MAKE_DEMO_DATA, dir.path().string()});
  ASSERT_EQ(again.exitCode, 0) << again.stderrText;
  EXPECT_TRUE(EntriesBelow(dir.path() / "Data") == built);
}

struct Wave {
  int channels = 0, bits = 0, rate = 0;
  std::vector<std::vector<double>> samples;  // per channel, in [-1, 1]
};

// The PCM samples of a WAV file, split by channel.
Wave ReadWave(const fs::path& path) {
  const std::string bytes = ReadAll(path);
  auto u16 = [&](size_t at) { return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8; };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  Wave wave;
  for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + ((u32(at + 4) + 1) & ~1u)) {
    const std::string id = bytes.substr(at, 4);
    if (id == "fmt ") {
      wave.channels = int(u16(at + 10));
      wave.rate = int(u32(at + 12));
      wave.bits = int(u16(at + 22));
      wave.samples.resize(size_t(wave.channels));
    } else if (id == "data" && wave.channels > 0) {
      const size_t step = size_t(wave.bits / 8), size = std::min<size_t>(u32(at + 4), bytes.size() - at - 8);
      for (size_t i = 0; i + step <= size; i += step) {
        const size_t p = at + 8 + i;
        const double value = wave.bits == 8 ? (uint8_t(bytes[p]) - 128) / 128.0 : int16_t(u16(p)) / 32768.0;
        wave.samples[(i / step) % size_t(wave.channels)].push_back(value);
      }
    }
  }
  return wave;
}

// A looping sound is heard as its last sample followed by its first: that
// wrap must be no sharper, in value or in slope, than the sound is on either
// side of it (within 5 ms; a quarter more and two quantization steps of
// slack). Every sound starts from near silence (and a tune that plays once
// ends there), so that starting or ending it does not click.
TEST(DemoData, SoundsLoopWithoutAClickAndStartFromSilence) {
  const std::set<std::string> looping = {"kazese01", "kazese02", "kazese03", "kazese04", "kazese06", "taiken"};
  int seen = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(kDemo / "Data" / "SOUND")) {
    const std::string name = entry.path().stem().string();
    const Wave wave = ReadWave(entry.path());
    ASSERT_FALSE(wave.samples.empty()) << name;
    ++seen;
    const double slack = 2.0 / (wave.bits == 8 ? 128.0 : 32768.0);
    for (const std::vector<double>& x : wave.samples) {
      const size_t n = x.size(), reach = size_t(wave.rate / 200);
      ASSERT_GT(n, 4 * reach) << name;
      EXPECT_LE(std::fabs(x[0]), 0.02) << name << " starts with a click";
      if (!looping.count(name)) {
        EXPECT_LE(std::fabs(x[n - 1]), 0.02) << name << " ends with a click";
        continue;
      }
      // Sample i of the loop heard as it repeats, i from -n.
      auto at = [&](int64_t i) { return x[size_t((i + int64_t(n)) % int64_t(n))]; };
      auto step = [&](int64_t i) { return std::fabs(at(i) - at(i - 1)); };
      auto bend = [&](int64_t i) { return std::fabs(at(i + 1) - 2 * at(i) + at(i - 1)); };
      double steps = 0.0, bends = 0.0;
      for (int64_t i = 1; i <= int64_t(reach); ++i) {
        steps = std::max({steps, step(i), step(-i)});
        bends = std::max({bends, bend(i), bend(-1 - i)});
      }
      EXPECT_LE(step(0), 1.25 * steps + slack) << name << "'s wrap jumps";
      EXPECT_LE(bend(0), 1.25 * bends + slack) << name << "'s wrap bends";
    }
  }
  EXPECT_EQ(seen, 7);
}

}  // namespace
