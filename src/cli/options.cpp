#include "cli/options.h"

#include <charconv>

#include "program/run_program.h"

namespace kaze::cli {

namespace {

template <typename T>
bool ParseUnsigned(const std::string& text, T& value, T limit) {
  uint64_t parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || parsed > static_cast<uint64_t>(limit))
    return false;
  value = static_cast<T>(parsed);
  return true;
}

bool ParseTimes(const std::string& text, std::vector<uint64_t>& times) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    uint64_t time = 0;
    if (!ParseUnsigned<uint64_t>(part, time, uint64_t{1} << 40)) return false;
    times.push_back(time);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// Options that take a value accept "--name VALUE" and "--name=VALUE".
class ArgReader {
 public:
  explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
  bool Next(std::string& name) {
    if (index_ >= args_.size()) return false;
    name = args_[index_++];
    inlineValue_.reset();
    if (size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue_ = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    return true;
  }
  bool Value(std::string& value) {
    if (inlineValue_) {
      value = *inlineValue_;
      inlineValue_.reset();
      return true;
    }
    if (index_ >= args_.size()) return false;
    value = args_[index_++];
    return true;
  }
  bool HasInlineValue() const { return inlineValue_.has_value(); }

 private:
  const std::vector<std::string>& args_;
  size_t index_ = 0;
  std::optional<std::string> inlineValue_;
};

bool Check(bool valid, std::string& error, const std::string& reason) {
  if (!valid) error = reason;
  return valid;
}

bool ParseOne(const std::string& name, ArgReader& reader, Options& options, std::string& error) {
  std::string value;
  auto needValue = [&] { return Check(reader.Value(value), error, name + " needs a value"); };
  if (name == "--help" || name == "-h")
    options.help = true;
  else if (name == "--version")
    options.version = true;
  else if (name == "--headless")
    options.headless = true;
  else if (name == "--window")
    options.window = true;
  else if (name == "--fullscreen")
    options.fullscreen = true;
  else if (name == "--mute")
    options.mute = true;
  else if (name == "--no-vsync")
    options.noVsync = true;
  else if (name == "--555")
    options.layout555 = true;
  else if (name == "--no-mixer")
    options.noMixer = true;
  else if (name == "--real-mixer")
    options.realMixer = true;
  else if (name == "--data")
    return needValue() && Check(!value.empty(), error, "--data needs a folder") && (options.dataDir = value, true);
  else if (name == "--screenshots")
    return needValue() && Check(!value.empty(), error, "--screenshots needs a folder") &&
           (options.screenshotDir = value, true);
  else if (name == "--config")
    return needValue() && Check(!value.empty(), error, "--config needs a file") && (options.configPath = value, true);
  else if (name == "--script")
    return needValue() && (options.scriptPath = value, true);
  else if (name == "--trace")
    return needValue() && (options.tracePath = value, true);
  else if (name == "--snap-dir")
    return needValue() && (options.snapDir = value, true);
  else if (name == "--audio-out")
    return needValue() && Check(!value.empty(), error, "--audio-out needs a file") &&
           (options.audioOutPath = value, true);
  else if (name == "--record")
    return needValue() && Check(!value.empty(), error, "--record needs a file") && (options.recordPath = value, true);
  else if (name == "--scaling")
    return needValue() &&
           Check(value == "sharp" || value == "pixel" || value == "nearest", error,
                 "--scaling needs sharp, pixel or nearest, not '" + value + "'") &&
           (options.scaling = value, true);
  else if (name == "--scale") {
    return needValue() && Check(ParseUnsigned(value, options.scale, 16) && options.scale >= 1, error,
                                "--scale needs a whole number from 1 to 16, not '" + value + "'");
  } else if (name == "--until") {
    uint64_t until = 0;
    if (!needValue() || !Check(ParseUnsigned<uint64_t>(value, until, uint64_t{1} << 40), error,
                               "--until needs a time in ms, not '" + value + "'"))
      return false;
    options.untilMs = until;
  } else if (name == "--snap") {
    return needValue() && Check(ParseTimes(value, options.snapTimes), error,
                                "--snap needs times in ms separated by commas, not '" + value + "'");
  } else if (name == "--start-tick") {
    uint32_t tick = 0;
    if (!needValue() || !Check(ParseUnsigned<uint32_t>(value, tick, 0xFFFFFFFFu), error,
                               "--start-tick needs a 32-bit tick count, not '" + value + "'"))
      return false;
    options.startTick = tick;
  } else if (name == "--fault") {
    return needValue() &&
           Check(program::InjectFault(value), error, "--fault needs NAME=RESULT[@N], not '" + value + "'") &&
           (options.faults.push_back(value), true);
  } else {
    return Check(false, error, "unknown option '" + name + "'");
  }
  return Check(!reader.HasInlineValue(), error, name + " takes no value");
}

bool CheckCombination(const Options& options, std::string& error) {
  const bool headlessOnly = !options.scriptPath.empty() || options.untilMs || !options.tracePath.empty() ||
                            !options.snapTimes.empty() || !options.snapDir.empty() || options.startTick;
  if (!options.headless && headlessOnly)
    return Check(false, error, "--script, --until, --trace, --snap, --snap-dir and --start-tick need --headless");
  if (options.headless && (options.window || options.fullscreen || options.scale != 0 || !options.scaling.empty() ||
                           options.noVsync || !options.screenshotDir.empty()))
    return Check(false, error,
                 "--window, --fullscreen, --scale, --scaling, --no-vsync and --screenshots do not go with --headless");
  if (options.window && options.fullscreen) return Check(false, error, "--window and --fullscreen exclude each other");
  if (options.fullscreen && options.scale != 0)
    return Check(false, error, "--scale sizes a window and does not go with --fullscreen");
  if (options.realMixer && !options.headless)
    return Check(false, error, "--real-mixer needs --headless (a player's run always uses the machine's mixer)");
  if (options.realMixer && options.noMixer)
    return Check(false, error, "--real-mixer and --no-mixer exclude each other");
  if (!options.snapDir.empty() && options.snapTimes.empty()) return Check(false, error, "--snap-dir needs --snap");
  return true;
}

// A window size asks for a window.
void CompleteWindowChoice(Options& options) {
  if (options.headless || options.window || options.scale == 0) return;
  options.window = true;
  const std::string scale = std::to_string(options.scale);
  options.notices.push_back("--scale " + scale + " plays in a window, as --window --scale " + scale + " does");
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  ArgReader reader(args);
  std::string name;
  while (reader.Next(name))
    if (!ParseOne(name, reader, options, error)) return false;
  if (!CheckCombination(options, error)) return false;
  CompleteWindowChoice(options);
  return true;
}

bool ParseOption(const std::string& name, const std::optional<std::string>& value, Options& options,
                 std::string& error) {
  const std::vector<std::string> args = {value ? name + "=" + *value : name};
  ArgReader reader(args);
  std::string given;
  return reader.Next(given) && ParseOne(given, reader, options, error);
}

std::string UsageText() {
  return R"(usage:
  kaze [--config FILE] [--data DIR] [--fullscreen | [--window] [--scale N]]
       [--scaling sharp|pixel|nearest] [--no-vsync] [--mute]
       [--screenshots DIR] [--record FILE.y4m] [--audio-out FILE.wav]
  kaze --headless [--config FILE] [--data DIR] [--script FILE] [--until MS]
                  [--trace FILE]
                  [--snap MS[,MS...] --snap-dir DIR]
                  [--record FILE.y4m] [--audio-out FILE.wav]
  kaze --help | --version

playing:
  --data DIR         the folder that holds the Data folder (or that folder
                     itself); without it: the working directory when it holds
                     a Data folder, else the data set that comes with kaze
                     (installed with it, or the demo set of its build tree)
  --mute             no sound device: the story plays silently
  --config FILE      read the settings from FILE instead of
                     $XDG_CONFIG_HOME/kaze/kaze.conf (~/.config/kaze/kaze.conf);
                     a headless run reads settings only from a file named so

screen:
  --fullscreen       full screen, the picture scaled to fit with black bars
                     (the default)
  --window           play in a window instead of full screen
  --scale N          a window of N times 640x480, with or without --window
                     (default, and for an N too large for the desktop: the
                     largest that fits)
  --scaling MODE     how the picture is enlarged, in full screen and in a
                     window of any size:
                       sharp    by the largest whole factor that fits, then
                                smoothly to the full size: every pixel the
                                same size, edges one screen pixel soft
                                (the default)
                       pixel    by the largest whole factor only, with wider
                                black bars
                       nearest  straight to the full size; at a factor that
                                is not whole, rows and columns differ in size
  --no-vsync         present without waiting for the display's refresh, at
                     most once per refresh interval (pictures may tear)
  --screenshots DIR  the folder for F12's pictures (default: the XDG
                     pictures folder when there is one, else the working
                     directory)

recording:
  --record FILE.y4m  write the screen as a 50 frames/s YUV4MPEG2 video
  --audio-out FILE.wav  write the sound as a 16-bit stereo WAV file;
                     either host, and with --record both start together
  --headless         no devices: a virtual clock, scripted input, a trace
                     (a scripted run is recorded faster than real time)
  --script FILE      input events by virtual time, one a line:
                       <ms> mouse X Y | down left|right | up left|right
                       <ms> click left|right X Y | key down|up KEY | key [ALT+]KEY
                       <ms> focus lost|gained | close | lose-surfaces
  --until MS         press ESC when the virtual clock reaches MS (a run still
                     going 60 s of virtual time later is stopped, exit code 4)
  --trace FILE       write the run's JSON Lines trace (frames, message boxes, ...)
  --snap MS,...      write the frame shown at these times as PNG files
  --snap-dir DIR     the folder for the snapshots (snap-<MS>.png)

testing:
  --fault NAME=RESULT[@N]  make the platform call NAME fail with RESULT (decimal
                     or 0x hex), every time or only the Nth time; repeatable.
                     NAME as "DirectDrawCreate", "IDirectDraw::CreateSurface",
                     "IDirectDrawSurface::Restore", "_beginthread", ...
  --555              a display in the 5-5-5 pixel format instead of 5-6-5
  --no-mixer         a machine without an audio mixer
  --real-mixer       a headless run reads and puts back the synthesizer volume
                     of the machine's first sound card (by default it uses a
                     mixer held in memory, seen in the trace as "mixer" lines)
  --start-tick N     the tick count at the start of a headless run (default
                     3600000: a machine up for an hour)

keys:
  ESC, Alt+F4        quit at any moment
  Alt+Enter, F11     switch between full screen and a window; the settings
                     file remembers the choice for the next start
  F12                write the picture as kaze-YYYYMMDD-HHMMSS.png in the
                     --screenshots folder
  space, right button  hold to make the text lines appear faster

settings file (the command line wins, option by option):
  # a comment, on a line of its own
  window = true      or fullscreen = true; Alt+Enter and F11 rewrite it
  scale = 2          scaling = sharp     vsync = false      mute = true
  data = /path       screenshots = /path (a relative path: from the file's folder)
)";
}

}  // namespace kaze::cli
