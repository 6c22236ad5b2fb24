// The player's settings file with the real window in a private X server:
// it opens the window it names, the command line wins over it, F11 is
// remembered in it and F12 writes to the folder it names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "support/scene_data.h"
#include "support/x_session.h"

namespace kaze::testing {
namespace {

namespace fs = std::filesystem;

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef KAZE_HAVE_SDL
    GTEST_SKIP() << "this build has no sdl host (KAZE_SDL=OFF)";
#endif
    if (FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    std::string reason;
    if (!server_.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
    kaze::test::SceneData(dir_.path()).ScenePictures();  // a missing picture's box would hold the window
    fs::create_directories(dir_.path() / "config" / "kaze");
    fs::create_directories(dir_.path() / "shots");
  }

  fs::path SettingsFile() const { return dir_.path() / "config" / "kaze" / "kaze.conf"; }

  // kaze with the settings folder and more arguments, until its window is
  // there; the window id.
  std::string StartKaze(ChildProcess& kaze, const std::vector<std::string>& more = {}) {
    std::vector<std::string> argv = {KAZE_BINARY, "--data", dir_.path().string()};
    argv.insert(argv.end(), more.begin(), more.end());
    std::vector<std::string> environment = {"DISPLAY=" + server_.Display(), "SDL_AUDIODRIVER=dummy",
                                            "XDG_CONFIG_HOME=" + (dir_.path() / "config").string()};
    for (const std::string& option : ProgramOnXvfbSanitizerOptions()) environment.push_back(option);
    if (!kaze.Exec(argv, environment)) return {};
    return WaitForWindow(server_.Display(), "^kaze$", Patient(20000));
  }

  // The settings file once it reads `expected`, waiting at most timeoutMs;
  // else what it read last.
  std::string WaitForSettings(const std::string& expected, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const std::string text = kaze::test::ReadAll(SettingsFile());
      if (text == expected || std::chrono::steady_clock::now() >= deadline) return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  XvfbServer server_;
  kaze::test::TempDir dir_;
};

TEST_F(SettingsWindow, OpensTheWindowItNamesRemembersF11AndTakesItsScreenshotFolder) {
  const std::string shots = (dir_.path() / "shots").string();
  std::ofstream(SettingsFile()) << "# mine\nwindow = true\nscale = 2\nscreenshots = " << shots << "\n";
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  const std::string& display = server_.Display();
  EXPECT_EQ(WaitForSize(display, window, "1280x960", Patient(10000)), "1280x960");

  const std::string line = SendKeysUntilLine(kaze, display, window, "F12", "screenshot saved as ", Patient(10000));
  ASSERT_NE(line, "") << kaze.Output();
  EXPECT_EQ(fs::path(line.substr(line.find(" as ") + 4)).parent_path(), fs::path(shots));

  RunXdotool(display, "key F11");
  EXPECT_EQ(WaitForSize(display, window, "1920x1080", Patient(10000)), "1920x1080");
  const std::string remembered = "# mine\nfullscreen = true\nscale = 2\nscreenshots = " + shots + "\n";
  EXPECT_EQ(WaitForSettings(remembered, Patient(10000)), remembered);
  EXPECT_EQ(SendKeysUntilExit(kaze, display, window, "Escape", Patient(20000)), 0) << kaze.Output();
}

TEST_F(SettingsWindow, TheCommandLineWinsOverTheFile) {
  std::ofstream(SettingsFile()) << "window = true\nscale = 2\n";
  ChildProcess kaze;
  const std::string window = StartKaze(kaze, {"--fullscreen"});
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  EXPECT_EQ(WaitForSize(server_.Display(), window, "1920x1080", Patient(10000)), "1920x1080");
  EXPECT_EQ(SendKeysUntilExit(kaze, server_.Display(), window, "Escape", Patient(20000)), 0) << kaze.Output();
  EXPECT_EQ(kaze::test::ReadAll(SettingsFile()), "window = true\nscale = 2\n") << "no toggle, no write";
}

}  // namespace
}  // namespace kaze::testing
