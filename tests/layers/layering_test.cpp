// The layers of src/ point one way: engine over platform over host, with the
// program's entry and the command line on top. Every #include of every
// source file is read and placed: an include that points up a layer or
// sideways out of it fails here with its file and line, whether or not the
// build's include folders happen to let it compile.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(KAZE_SOURCE_DIR) / "src";

// Where a file lives, from the bottom up. A "face" is what a layer shows the
// one above it: the SDK's names and the port's entries for the engine, the
// host interface for the platform.
enum class Room {
  Host,
  HostInterface,
  Platform,
  Sdk,
  Port,
  Engine,
  Program,
  Cli,
  Browser,
  Windows,
  MachineLibrary,
  Standard
};

const std::map<Room, const char*> kRoomNames = {
    {Room::Host, "the host"},
    {Room::HostInterface, "the host interface"},
    {Room::Platform, "the platform stand-in"},
    {Room::Sdk, "the SDK's names"},
    {Room::Port, "the port's entries"},
    {Room::Engine, "the engine"},
    {Room::Program, "the program's entry"},
    {Room::Cli, "the command line"},
    {Room::Browser, "the browser's main"},
    {Room::Windows, "the Windows build"},
    {Room::MachineLibrary, "a library of the machine (SDL, ALSA, X11, libpng, zlib, libdeflate, emscripten)"},
    {Room::Standard, "the C++ or POSIX library"},
};

// What each room may include besides the standard library.
const std::map<Room, std::set<Room>> kMayInclude = {
    {Room::Host, {Room::Host, Room::HostInterface, Room::MachineLibrary}},
    {Room::HostInterface, {Room::HostInterface}},
    {Room::Platform, {Room::Platform, Room::Sdk, Room::Port, Room::HostInterface}},
    {Room::Sdk, {Room::Sdk}},
    {Room::Port, {Room::Port, Room::Sdk}},
    {Room::Engine, {Room::Engine, Room::Sdk, Room::Port}},
    // The program's entry sets the stand-in up for a run and starts the
    // engine on a host it is given.
    {Room::Program, {Room::Program, Room::Engine, Room::Platform, Room::Sdk, Room::Port, Room::HostInterface}},
    // The two entries choose a host and hand it to the program's entry.
    {Room::Cli, {Room::Cli, Room::Program, Room::Host, Room::HostInterface}},
    {Room::Browser, {Room::Browser, Room::Program, Room::Host, Room::HostInterface, Room::MachineLibrary}},
    // The native Windows build: the engine on the real SDK.
    {Room::Windows, {Room::Windows, Room::Engine, Room::Sdk, Room::Port}},
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The room of a file given by its path below src/.
Room RoomOf(const std::string& path) {
  if (StartsWith(path, "engine/")) return Room::Engine;
  if (StartsWith(path, "platform/include/")) return Room::Sdk;
  if (StartsWith(path, "platform/port/")) return Room::Port;
  if (StartsWith(path, "platform/")) return Room::Platform;
  if (StartsWith(path, "host/include/")) return Room::HostInterface;
  if (StartsWith(path, "host/")) return Room::Host;
  if (StartsWith(path, "program/")) return Room::Program;
  if (StartsWith(path, "cli/")) return Room::Cli;
  if (StartsWith(path, "browser/")) return Room::Browser;
  if (StartsWith(path, "windows/")) return Room::Windows;
  return Room::Standard;  // not a layer's file: reported as unplaced below
}

bool IsMachineLibrary(const std::string& header) {
  static const std::regex kMachine(R"((SDL[^/]*|alsa/.*|X11/.*|png|pngconf|zlib|libdeflate|emscripten(/.*)?)\.h)");
  return std::regex_match(header, kMachine);
}

// The folders a quoted include is looked up in after the including file's
// own folder, as the build's include folders give them.
const std::vector<fs::path> kIncludeRoots = {kSource / "engine", kSource / "platform/include",
                                             kSource / "platform/port", kSource / "host/include", kSource};

struct Include {
  int line = 0;
  std::string text;  // as written: "host/host.h" or <SDL.h>
  Room room = Room::Standard;
  bool resolved = true;
};

std::vector<Include> IncludesOf(const fs::path& file) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> includes;
  std::ifstream in(file);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::smatch match;
    if (!std::regex_search(line, match, kInclude)) continue;
    Include include{number, match[1].str() + match[2].str() + (match[1] == "<" ? ">" : "\"")};
    const std::string name = match[2];
    if (match[1] == "<") {
      if (fs::exists(kSource / "platform/include" / name))
        include.room = Room::Sdk;
      else if (IsMachineLibrary(name))
        include.room = Room::MachineLibrary;
    } else {
      std::vector<fs::path> candidates{file.parent_path() / name};
      for (const fs::path& root : kIncludeRoots) candidates.push_back(root / name);
      include.resolved = false;
      for (const fs::path& candidate : candidates) {
        if (!fs::is_regular_file(candidate)) continue;
        include.room = RoomOf(fs::relative(fs::weakly_canonical(candidate), kSource).generic_string());
        include.resolved = true;
        break;
      }
    }
    includes.push_back(include);
  }
  return includes;
}

bool IsSource(const fs::path& file) {
  const std::string extension = file.extension().string();
  return extension == ".cpp" || extension == ".h";
}

// Every violation in src/, one line each: "file:line: why".
std::vector<std::string> LayerViolations() {
  std::vector<std::string> violations;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSource)) {
    if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
    const std::string path = fs::relative(entry.path(), kSource).generic_string();
    const auto allowed = kMayInclude.find(RoomOf(path));
    if (allowed == kMayInclude.end()) {
      violations.push_back("src/" + path + ": lies in no layer's folder");
      continue;
    }
    for (const Include& include : IncludesOf(entry.path())) {
      const std::string where = "src/" + path + ":" + std::to_string(include.line) + ": includes " + include.text;
      if (!include.resolved)
        violations.push_back(where + ", which is no file of src/");
      else if (include.room != Room::Standard && !allowed->second.count(include.room))
        violations.push_back(where + " (" + kRoomNames.at(include.room) + "), which " + kRoomNames.at(allowed->first) +
                             " may not include");
    }
  }
  return violations;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(Layers, EveryIncludeOfTheSourcePointsDownOrStaysInItsLayer) {
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSource))
    files += entry.is_regular_file() && IsSource(entry.path());
  ASSERT_GT(files, 100u) << "the source tree was not found at " << kSource;

  const std::vector<std::string> violations = LayerViolations();
  EXPECT_TRUE(violations.empty()) << Lines(violations);
}

}  // namespace
