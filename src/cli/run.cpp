#include "cli/run.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/data_folder.h"
#include "cli/options.h"
#include "cli/settings_file.h"
#include "cli/settings_writer.h"
#include "host/headless/headless_host.h"
#include "host/write_failure.h"
#include "program/run_program.h"
#ifdef KAZE_HAVE_SDL
#include "host/sdl/sdl_host.h"
#endif

namespace kaze::cli {

namespace {

// A headless run starts as on a machine that has been up for an hour: a
// tick count of 0 would make the first frame wait, which it never does on a
// real machine. Trace times still count from the start of the run.
constexpr uint32_t kHeadlessStartTick = 60 * 60 * 1000;

constexpr int kUsageError = 2;

int Refuse(const std::string& reason) {
  std::fprintf(stderr, "kaze: %s\n", reason.c_str());
  return kUsageError;
}

std::unique_ptr<host::Host> MakeHeadlessHost(const Options& options, std::string& error) {
  host::HeadlessOptions settings;
  if (!options.scriptPath.empty() && !host::ReadScriptFile(options.scriptPath, settings.script, error)) return nullptr;
  settings.untilMs = options.untilMs;
  settings.tracePath = options.tracePath;
  settings.snapTimes = options.snapTimes;
  settings.snapDir = options.snapDir.empty() ? "." : options.snapDir;
  settings.audioOutPath = options.audioOutPath;
  settings.recordPath = options.recordPath;
  settings.startTick = options.startTick.value_or(kHeadlessStartTick);
  // A headless run has no devices: its mixer is one in memory unless the
  // machine's is asked for.
  settings.mixer = options.noMixer     ? host::HeadlessMixer::None
                   : options.realMixer ? host::HeadlessMixer::Machine
                                       : host::HeadlessMixer::InMemory;
  return host::CreateHeadlessHost(settings, error);
}

// Puts the settings file's options under the command line's; the file, or
// nothing when none is read (a headless run reads only one it is given).
// False with the reason when the file the command line names is not there.
bool ApplySettingsFile(Options& options, std::filesystem::path& file, std::string& error) {
  const bool named = !options.configPath.empty();
  if (!named && options.headless) return true;
  file = named ? std::filesystem::path(options.configPath) : DefaultSettingsFile(ProcessEnvironment());
  std::error_code fsError;
  if (named && !std::filesystem::exists(file, fsError)) {
    error = "the settings file '" + options.configPath + "' does not exist";
    return false;
  }
  if (file.empty()) return true;
  std::vector<std::string> problems;
  const Options fromFile = ReadSettings(file, named, problems);
  for (const std::string& problem : problems) std::fprintf(stderr, "kaze: %s\n", problem.c_str());
  MergeSettings(options, fromFile);
  return true;
}

// The choice is written at once on the main thread, whose pump it holds
// for a small file's write: frames are presented by their own thread.
[[maybe_unused]] void RememberChoice(const std::filesystem::path& file, bool fullscreen) {
  std::string error;
  if (!RememberScreenChoice(file, fullscreen, error)) std::fprintf(stderr, "kaze: %s\n", error.c_str());
}

std::unique_ptr<host::Host> MakePlayerHost(const Options& options, const std::filesystem::path& settingsFile,
                                           std::string& error) {
#ifdef KAZE_HAVE_SDL
  host::SdlHostOptions settings;
  settings.window = options.window;
  settings.scale = options.scale;
  settings.scaling = options.scaling == "pixel"     ? host::ScalingMode::Pixel
                     : options.scaling == "nearest" ? host::ScalingMode::Nearest
                                                    : host::ScalingMode::Sharp;
  settings.vsync = !options.noVsync;
  settings.screenshotDir =
      options.screenshotDir.empty() ? PicturesFolder(ProcessEnvironment()).string() : options.screenshotDir;
  if (!settingsFile.empty())
    settings.fullscreenChosen = [settingsFile](bool fullscreen) { RememberChoice(settingsFile, fullscreen); };
  settings.recordPath = options.recordPath;
  settings.audioOutPath = options.audioOutPath;
  settings.mixer = !options.noMixer;  // a player's run keeps the machine's volume
  return host::CreateSdlHost(settings, error);
#else
  static_cast<void>(settingsFile);
  error = "this build has no display host; use --headless";
  return nullptr;
#endif
}

}  // namespace

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return Refuse(error + " (see --help)");
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("kaze 0.1.0");
    return 0;
  }
  std::filesystem::path settingsFile;
  if (!ApplySettingsFile(options, settingsFile, error)) return Refuse(error);
  const std::optional<std::filesystem::path> dataSet =
      FindDataSet(options.dataDir, ".", ProgramDataPlaces(RunningProgram()), error);
  if (!dataSet) return Refuse(error);
  options.dataDir = dataSet->string();
  std::error_code fsError;
  if (!options.snapDir.empty() && !std::filesystem::is_directory(options.snapDir, fsError))
    return Refuse("the snapshot folder '" + options.snapDir + "' does not exist");
  if (!options.screenshotDir.empty() && !std::filesystem::is_directory(options.screenshotDir, fsError))
    return Refuse("the screenshot folder '" + options.screenshotDir + "' does not exist");
  for (const std::string& notice : options.notices) std::fprintf(stderr, "kaze: %s\n", notice.c_str());

  std::unique_ptr<host::Host> host =
      options.headless ? MakeHeadlessHost(options, error) : MakePlayerHost(options, settingsFile, error);
  if (!host) return Refuse(error);
  program::ProgramSettings settings;
  settings.dataRoot = options.dataDir;
  settings.platform.displayLayout = options.layout555 ? platform::PixelLayout::Rgb555 : platform::PixelLayout::Rgb565;
  settings.platform.noAudioDevice = options.mute;
  const int exitCode = program::RunProgram(settings, *host);
  // A file the run writes that could not be written was said in one line
  // when it failed; the run has ended in order since.
  return host::TheWriteFailures().Any() ? host::kWriteFailedExit : exitCode;
}

}  // namespace kaze::cli
