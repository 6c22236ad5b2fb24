// The port's command line: options, their errors and the help.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "cli/options.h"
#include "support/kaze_run.h"

namespace kaze::test {
namespace {

TEST(CommandLine, BadOptionsGiveOneClearLineAndExitCodeTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"--headless", "--until"},
      {"--headless", "--until", "soon"},
      {"--headless", "--snap", "10,x", "--snap-dir", "."},
      {"--scale", "0"},
      {"--scaling", "smooth"},
      {"--until", "100"},  // a headless option without --headless
      {"--headless", "--window"},
      {"--headless", "--fault", "NoEquals"},
      {"--headless", "--script", "/nonexistent/script.txt"},
      {"--headless", "--data", "/nonexistent/folder"},
      {"--headless", "--snap", "10", "--snap-dir", "/nonexistent/folder"},
      {"--headless", "--trace", "/nonexistent/folder/t.jsonl"},
      {"--headless=yes"},
      {"--real-mixer"},  // a player's run always uses the machine's mixer
      {"--headless", "--real-mixer", "--no-mixer"},
  };
  for (const auto& args : bad) {
    std::vector<std::string> argv = {KAZE_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    ProgramRun run = RunProgram(argv);
    SCOPED_TRACE(args.front() + " " + (args.size() > 1 ? args[1] : ""));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.stderrText.rfind("kaze: ", 0), 0u) << run.stderrText;
    EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << run.stderrText;
    EXPECT_TRUE(run.stdoutText.empty());
  }
}

// In either host, before any display is looked for: one line naming the
// file and the reason, and nothing left behind.
TEST(CommandLine, ARecordingFileThatCannotBeMadeIsNamedWithTheReason) {
  for (const bool headless : {true, false}) {
    for (const auto& [option, file, what] :
         {std::tuple{"--record", "/nonexistent/folder/run.y4m", "the recording"},
          std::tuple{"--audio-out", "/nonexistent/folder/run.wav", "the sound recording"}}) {
      std::vector<std::string> argv = {KAZE_BINARY, option, file};
      if (headless) argv.insert(argv.begin() + 1, "--headless");
      SCOPED_TRACE(argv[1] + " " + argv[2]);
      ProgramRun run = RunProgram(argv);
      EXPECT_EQ(run.exitCode, 2);
      EXPECT_EQ(run.stderrText,
                "kaze: cannot write " + std::string(what) + " " + file + ": No such file or directory\n");
    }
  }
  TempDir dir;
  const std::filesystem::path video = dir.path() / "run.y4m";
  ProgramRun run = RunProgram({KAZE_BINARY, "--record", video.string(), "--audio-out", "/nonexistent/folder/run.wav"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(video)) << "the video of a run that never started";
}

TEST(CommandLine, AScriptWithAnErrorNamesTheFileAndLine) {
  TempDir dir;
  auto script = dir.Write("s.txt", "100 close\n200 wave hello\n");
  ProgramRun run = RunProgram({KAZE_BINARY, "--headless", "--script", script.string()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.stderrText.find("s.txt: line 2: unknown event 'wave'"), std::string::npos) << run.stderrText;
}

TEST(CommandLine, HelpGroupsTheOptionsAndVersionNamesTheProgram) {
  ProgramRun help = RunProgram({KAZE_BINARY, "--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* word : {"--headless", "--script", "--until", "--trace", "--snap-dir", "--data", "playing:",
                           "screen:", "recording:", "testing:", "--fault", "--555", "--no-mixer", "--real-mixer"})
    EXPECT_NE(help.stdoutText.find(word), std::string::npos) << word;
  // The recording options, in their group and for both hosts.
  const std::string& text = help.stdoutText;
  const size_t recording = text.find("recording:"), testing = text.find("testing:");
  for (const char* option : {"--record FILE.y4m", "--audio-out FILE.wav"}) {
    const size_t described = text.find(std::string("\n  ") + option);
    EXPECT_TRUE(described > recording && described < testing) << option;
  }
  EXPECT_NE(text.find("[--mute]\n       [--screenshots DIR] [--record FILE.y4m] [--audio-out FILE.wav]"),
            std::string::npos)
      << text;
  ProgramRun version = RunProgram({KAZE_BINARY, "--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.stdoutText.rfind("kaze ", 0), 0u);
}

TEST(CommandLine, ValuesComeAfterTheOptionOrAfterAnEqualsSign) {
  cli::Options options;
  std::string error;
  ASSERT_TRUE(cli::ParseOptions({"--headless", "--until=1500", "--snap", "0,20,40", "--snap-dir=/tmp", "--data", "d",
                                 "--555", "--start-tick", "4294967295"},
                                options, error))
      << error;
  EXPECT_EQ(options.untilMs, 1500u);
  EXPECT_EQ(options.snapTimes, (std::vector<uint64_t>{0, 20, 40}));
  EXPECT_EQ(options.snapDir, "/tmp");
  EXPECT_EQ(options.dataDir, "d");
  EXPECT_TRUE(options.layout555);
  EXPECT_EQ(options.startTick, 0xFFFFFFFFu);
}

// Screen options that say two things are refused; a window size alone asks
// for a window, which the program says once.
TEST(CommandLine, ScreenOptionsSayOneThingAndScaleAlonePlaysInAWindow) {
  const std::string kNotHeadless =
      "--window, --fullscreen, --scale, --scaling, --no-vsync and --screenshots do not go with --headless";
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--window", "--fullscreen"}, "--window and --fullscreen exclude each other"},
      {{"--fullscreen", "--scale", "2"}, "--scale sizes a window and does not go with --fullscreen"},
      {{"--headless", "--fullscreen"}, kNotHeadless},
      {{"--headless", "--scale", "2"}, kNotHeadless},
      {{"--headless", "--scaling", "pixel"}, kNotHeadless},
      {{"--headless", "--no-vsync"}, kNotHeadless},
      {{"--headless", "--screenshots", "/tmp"}, kNotHeadless},
      {{"--config", ""}, "--config needs a file"},
      {{"--scaling", "Sharp"}, "--scaling needs sharp, pixel or nearest, not 'Sharp'"},
  };
  for (const auto& [args, reason] : refused) {
    cli::Options options;
    std::string error;
    EXPECT_FALSE(cli::ParseOptions(args, options, error)) << args[1];
    EXPECT_EQ(error, reason);
  }
  for (const bool window : {false, true}) {
    cli::Options options;
    std::string error;
    std::vector<std::string> args = {"--scale", "3", "--mute"};
    if (window) args.push_back("--window");
    if (window) args.push_back("--no-vsync");
    ASSERT_TRUE(cli::ParseOptions(args, options, error)) << error;
    EXPECT_TRUE(options.window);
    EXPECT_EQ(options.noVsync, window);
    EXPECT_EQ(options.notices,
              window ? std::vector<std::string>{}
                     : std::vector<std::string>{"--scale 3 plays in a window, as --window --scale 3 does"});
  }
}

TEST(CommandLine, FiveFiveFiveRunsTheDisplayInThatFormat) {
  KazeRun run = RunKaze({"--555", "--until", "100"});
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(Events(run.trace, "ddraw").at(0).Str("op"), "set-mode");
  EXPECT_EQ(Events(run.trace, "ddraw").at(0).Str("format"), "5-5-5");
  EXPECT_EQ(Events(RunKaze({"--until", "100"}).trace, "ddraw").at(0).Str("format"), "5-6-5");
  ASSERT_FALSE(Events(run.trace, "frame").empty());
  EXPECT_EQ(Events(run.trace, "frame")[0].Str("crc"), "c656b350");  // black is black in both
}

}  // namespace
}  // namespace kaze::test
