// The port's command line. The program itself reads none; these options
// choose the host and its settings and never change what the scenario does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kaze::cli {

struct Options {
  bool help = false;
  bool version = false;
  std::string dataDir;  // empty: not given (see data_folder.h)
  // The player's host.
  bool window = false;
  bool fullscreen = false;  // given: full screen is also the default
  int scale = 0;
  std::string scaling;  // sharp, pixel or nearest; empty: not given (sharp)
  bool mute = false;
  bool noVsync = false;       // present without waiting for the display's refresh
  std::string recordPath;     // either host: the screen as a Y4M video
  std::string screenshotDir;  // F12's folder; empty: not given (settings_file.h)
  std::string configPath;     // the settings file; empty: not given (the default one)
  // The headless host.
  bool headless = false;
  std::string scriptPath;
  std::optional<uint64_t> untilMs;
  std::string tracePath;
  std::vector<uint64_t> snapTimes;
  std::string snapDir;
  std::string audioOutPath;
  // Testing.
  std::vector<std::string> faults;
  bool layout555 = false;
  bool noMixer = false;
  bool realMixer = false;  // a headless run works on the machine's mixer
  std::optional<uint32_t> startTick;
  // What the program took the command line to mean where it was short, one
  // line each for stderr (e.g. --scale alone plays in a window).
  std::vector<std::string> notices;
};

// Fills `options` from the arguments (without the program name); false with
// a one-line reason for a bad option or combination.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// One option as the command line gives it ("--scale" and "2"; no value for
// a switch), checked as there: the settings file's lines go through this.
bool ParseOption(const std::string& name, const std::optional<std::string>& value, Options& options,
                 std::string& error);

// The --help text.
std::string UsageText();

}  // namespace kaze::cli
