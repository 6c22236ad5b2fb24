// The settings file: where it lies, its lines checked as the command line
// checks them, and the command line over it.
#include "cli/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/kaze_run.h"

namespace kaze::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(SettingsFile, LiesInTheXdgConfigFolderAndThePicturesFolderIsReadFromUserDirs) {
  EXPECT_EQ(DefaultSettingsFile({"/x/config", "/home/a"}), fs::path("/x/config/kaze/kaze.conf"));
  for (const char* unusable : {"", "relative/config"})
    EXPECT_EQ(DefaultSettingsFile({unusable, "/home/a"}), fs::path("/home/a/.config/kaze/kaze.conf")) << unusable;
  EXPECT_EQ(DefaultSettingsFile({"", ""}), fs::path());

  TempDir home;
  const fs::path config = home.path() / ".config";
  const Environment environment{"", home.path().string()};
  EXPECT_EQ(PicturesFolder(environment), fs::path()) << "no user-dirs.dirs";
  fs::create_directory(config);
  home.Write(".config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(PicturesFolder(environment), fs::path()) << "the folder is not there";
  fs::create_directory(home.path() / "Bilder");
  EXPECT_EQ(PicturesFolder(environment), home.path() / "Bilder");
  home.Write(".config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/\"\n");
  EXPECT_EQ(PicturesFolder(environment), fs::path()) << "$HOME/ alone: no pictures folder";
  home.Write(".config/user-dirs.dirs", "XDG_PICTURES_DIR=\"" + (home.path() / "Bilder").string() + "\"\n");
  EXPECT_EQ(PicturesFolder(environment), home.path() / "Bilder");
  EXPECT_EQ(PicturesFolder({"/nonexistent", home.path().string()}), fs::path()) << "XDG_CONFIG_HOME wins";
}

TEST(SettingsFile, GoodLinesSetTheirOptionsAndEachBadLineIsOneMessageWhileTheRestCount) {
  TempDir dir;
  fs::create_directory(dir.path() / "shots");
  const fs::path file = dir.path() / "kaze.conf";
  std::vector<std::string> problems;
  const Options options = ParseSettings(
      "# my settings\n\n  window = true  \r\nscale=2\nsclae = 3\nscaling = blurry\nscaling = pixel\nvsync = no\n"
      "vsync = false\nmute = true\nfullscreen\ndata = games\nscreenshots = shots\nscreenshots = /nonexistent\n"
      "window = true # trailing words are the value\nheadless = true\n",
      file, problems);
  EXPECT_TRUE(options.window);
  EXPECT_FALSE(options.fullscreen);
  EXPECT_EQ(options.scale, 2);
  EXPECT_EQ(options.scaling, "pixel");
  EXPECT_TRUE(options.noVsync);
  EXPECT_TRUE(options.mute);
  EXPECT_EQ(options.dataDir, (dir.path() / "games").string()) << "a relative path starts at the file's folder";
  EXPECT_EQ(options.screenshotDir, (dir.path() / "shots").string());
  const std::string at = file.string() + ":";
  EXPECT_EQ(problems, (std::vector<std::string>{
                          at + "5: unknown option \"sclae\"",
                          at + "6: scaling needs sharp, pixel or nearest, not 'blurry'",
                          at + "8: vsync needs true or false, not 'no'",
                          at + "11: no \"=\" in \"fullscreen\"",
                          at + "14: the screenshot folder '/nonexistent' does not exist",
                          at + "15: window needs true or false, not 'true # trailing words are the value'",
                          at + "16: unknown option \"headless\"",
                      }));

  problems.clear();
  EXPECT_TRUE(ParseSettings("window = true\nfullscreen = true\n", file, problems).fullscreen);
  const Options last = ParseSettings("fullscreen = true\nwindow = true\nscale = 0\n", file, problems);
  EXPECT_TRUE(last.window && !last.fullscreen);
  EXPECT_EQ(last.scale, 0);
  EXPECT_TRUE(ParseSettings("fullscreen = false\n", file, problems).window);
  EXPECT_EQ(problems, (std::vector<std::string>{at + "3: scale needs a whole number from 1 to 16, not '0'"}));
}

TEST(SettingsFile, AMissingDefaultFileIsNothingButANamedOrUnreadableOneIsOneLine) {
  TempDir dir;
  std::vector<std::string> problems;
  ReadSettings(dir.path() / "kaze.conf", false, problems);
  EXPECT_TRUE(problems.empty());
  ReadSettings(dir.path() / "kaze.conf", true, problems);
  ReadSettings(dir.path(), false, problems);  // a folder: read() fails
  EXPECT_EQ(problems,
            (std::vector<std::string>{
                "cannot read the settings file " + (dir.path() / "kaze.conf").string() + ": No such file or directory",
                "cannot read the settings file " + dir.path().string() + ": Is a directory",
            }));
  EXPECT_TRUE(ReadSettings(dir.Write("kaze.conf", "mute = true"), true, problems).mute);
}

Options CommandLine(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  EXPECT_TRUE(ParseOptions(args, options, error)) << error;
  return options;
}

TEST(SettingsFile, TheCommandLineWinsOptionByOption) {
  Options file;
  file.window = true;
  file.scale = 2;
  file.scaling = "nearest";
  file.noVsync = true;
  file.dataDir = "/from/file";
  file.screenshotDir = "/shots";

  Options plain = CommandLine({});
  MergeSettings(plain, file);
  EXPECT_TRUE(plain.window && !plain.fullscreen);
  EXPECT_EQ(plain.scale, 2);
  EXPECT_EQ(plain.scaling, "nearest");
  EXPECT_TRUE(plain.noVsync);
  EXPECT_EQ(plain.dataDir, "/from/file");
  EXPECT_EQ(plain.screenshotDir, "/shots");

  Options given = CommandLine({"--fullscreen", "--scaling", "pixel", "--data", "/given", "--screenshots", "/here"});
  MergeSettings(given, file);
  EXPECT_TRUE(given.fullscreen && !given.window);
  EXPECT_EQ(given.scale, 2) << "the window after F11 still has the file's size";
  EXPECT_EQ(given.scaling, "pixel");
  EXPECT_EQ(given.dataDir, "/given");
  EXPECT_EQ(given.screenshotDir, "/here");

  Options full;
  full.fullscreen = true;
  full.scale = 3;
  Options window = CommandLine({"--window"});
  MergeSettings(window, full);
  EXPECT_TRUE(window.window && !window.fullscreen);
  Options scaled = CommandLine({"--scale", "1"});
  MergeSettings(scaled, full);
  EXPECT_TRUE(scaled.window && !scaled.fullscreen);
  EXPECT_EQ(scaled.scale, 1);
  Options sized;
  sized.scale = 2;
  Options bare = CommandLine({});
  MergeSettings(bare, sized);
  EXPECT_TRUE(bare.window) << "a scale alone asks for a window, as on the command line";

  // A headless run has no screen: the player's screen settings do not
  // reach it, and so cannot make it fail.
  file.mute = true;
  Options headless = CommandLine({"--headless"});
  MergeSettings(headless, file);
  EXPECT_FALSE(headless.window || headless.fullscreen || headless.noVsync);
  EXPECT_EQ(headless.scale, 0);
  EXPECT_TRUE(headless.scaling.empty() && headless.screenshotDir.empty());
  EXPECT_TRUE(headless.mute);
  EXPECT_EQ(headless.dataDir, "/from/file");
}

// The program itself: a headless run reads the file it is given and takes
// no offence at the player's screen settings; a named file must be there.
TEST(SettingsFile, AHeadlessRunReadsOnlyANamedFileAndIgnoresItsScreenSettings) {
  TempDir dir;
  const fs::path file =
      dir.Write("kaze.conf", "fullscreen = true\nscale = 2\nscaling = pixel\nvsync = false\nbogus = 1\n");
  const test::KazeRun run = test::RunKaze({"--until", "100", "--config", file.string()});
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_EQ(run.stderrText, "kaze: " + file.string() + ":5: unknown option \"bogus\"\n");

  const test::KazeRun missing = test::RunKaze({"--until", "100", "--config", (dir.path() / "none.conf").string()});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.stderrText,
            "kaze: the settings file '" + (dir.path() / "none.conf").string() + "' does not exist\n");
}

}  // namespace
}  // namespace kaze::cli
