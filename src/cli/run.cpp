#include "cli/run.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/data_folder.h"
#include "cli/options.h"
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

std::unique_ptr<host::Host> MakePlayerHost(const Options& options, std::string& error) {
#ifdef KAZE_HAVE_SDL
  host::SdlHostOptions settings;
  settings.window = options.window;
  settings.scale = options.scale;
  settings.scaling = options.scaling == "pixel"     ? host::ScalingMode::Pixel
                     : options.scaling == "nearest" ? host::ScalingMode::Nearest
                                                    : host::ScalingMode::Sharp;
  settings.vsync = !options.noVsync;
  settings.recordPath = options.recordPath;
  settings.audioOutPath = options.audioOutPath;
  settings.mixer = !options.noMixer;  // a player's run keeps the machine's volume
  return host::CreateSdlHost(settings, error);
#else
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
  const std::optional<std::filesystem::path> dataSet =
      FindDataSet(options.dataDir, ".", ProgramDataPlaces(RunningProgram()), error);
  if (!dataSet) return Refuse(error);
  options.dataDir = dataSet->string();
  std::error_code fsError;
  if (!options.snapDir.empty() && !std::filesystem::is_directory(options.snapDir, fsError))
    return Refuse("the snapshot folder '" + options.snapDir + "' does not exist");
  for (const std::string& notice : options.notices) std::fprintf(stderr, "kaze: %s\n", notice.c_str());

  std::unique_ptr<host::Host> host =
      options.headless ? MakeHeadlessHost(options, error) : MakePlayerHost(options, error);
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
