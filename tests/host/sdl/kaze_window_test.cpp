// The whole program with the sdl host in a private X server: the window it
// opens and the ways a player ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "resources/icon_149.h"
#include "support/scene_data.h"
#include "support/x_session.h"
#include "support/file_bytes.h"

namespace kaze::testing {
namespace {

using kaze::test::Le32;
using kaze::test::ReadAll;

// The window's _NET_WM_ICON property as xprop reads it: width, height, then
// the pixels as 0xAARRGGBB; empty when the window has none.
std::vector<uint32_t> WindowIconProperty(const std::string& display, const std::string& window) {
  const std::string command = "DISPLAY=" + display + " timeout 30 xprop -id " + window +
                              " -notype -f _NET_WM_ICON 32c '=$0+\\n' _NET_WM_ICON 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    pclose(pipe);
  }
  std::vector<uint32_t> values;
  const size_t equals = output.find('=');
  if (equals == std::string::npos) return values;
  std::istringstream numbers(output.substr(equals + 1));
  for (std::string number; std::getline(numbers, number, ',');) values.push_back(uint32_t(std::stoul(number)));
  return values;
}

class KazeWindow : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef KAZE_HAVE_SDL
    GTEST_SKIP() << "this build has no sdl host (KAZE_SDL=OFF)";
#endif
    if (FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
    std::string reason;
    if (!server_.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
    data_ = std::filesystem::temp_directory_path() / ("kaze-window-" + std::to_string(getpid()));
    std::filesystem::create_directories(data_);
    kaze::test::SceneData(data_).ScenePictures();  // a missing picture's box would hold the window
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(data_, ignored);
  }

  // kaze --window --scale 2 (or other screen options) with more arguments,
  // silent unless another audio driver is named, until its window is there;
  // the window id.
  std::string StartKaze(ChildProcess& kaze, const std::vector<std::string>& more = {},
                        const std::vector<std::string>& audio = {"SDL_AUDIODRIVER=dummy"},
                        const std::vector<std::string>& screen = {"--window", "--scale", "2"}) {
    // Under LeakSanitizer: SDL 2.26 leaves libdbus's few allocations of its
    // (failed) session bus connection behind, which are not ours to free.
    // Under ThreadSanitizer: Mesa's software OpenGL is not instrumented.
    std::vector<std::string> argv = {KAZE_BINARY, "--data", data_.string()};
    argv.insert(argv.end(), screen.begin(), screen.end());
    argv.insert(argv.end(), more.begin(), more.end());
    std::vector<std::string> environment = {
        "DISPLAY=" + server_.Display(), WithOption("ASAN_OPTIONS", "detect_leaks=0"),
        WithOption("TSAN_OPTIONS", "suppressions=" KAZE_SOURCE_DIR "/tests/host/sdl/tsan.supp")};
    environment.insert(environment.end(), audio.begin(), audio.end());
    const bool started = kaze.Exec(argv, environment);
    if (!started) return {};
    return WaitForWindow(server_.Display(), "^kaze$", Patient(20000));
  }

  XvfbServer server_;
  std::filesystem::path data_;
};

TEST_F(KazeWindow, OpensAWindowCalledKazeAndEscapeEndsItWithExitCode0) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  EXPECT_EQ(RunXdotool(server_.Display(), "getwindowname " + window), "kaze");
  const std::string geometry = RunXdotool(server_.Display(), "getwindowgeometry " + window);
  EXPECT_NE(geometry.find("Geometry: 1280x960"), std::string::npos) << geometry;

  EXPECT_EQ(SendKeysUntilExit(kaze, server_.Display(), window, "Escape", Patient(20000)), 0);
}

// The icon the window class names reaches the window through the platform.
TEST_F(KazeWindow, ShowsTheProgramsIconAsTheWindowsIcon) {
  if (FindProgram("xprop").empty()) GTEST_SKIP() << "xprop is not installed (Debian package x11-utils)";
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  constexpr auto kIcon = resources::Icon149Pixels();
  std::vector<uint32_t> expected = {resources::kIcon149Size, resources::kIcon149Size};
  expected.insert(expected.end(), kIcon.begin(), kIcon.end());
  EXPECT_EQ(WindowIconProperty(server_.Display(), window), expected);

  EXPECT_EQ(SendKeysUntilExit(kaze, server_.Display(), window, "Escape", Patient(20000)), 0);
}

// Taps of Shift and Ctrl long before must not change what Alt+F4 means: the
// accelerator table sees the keys as they were at the message.
TEST_F(KazeWindow, AltF4EndsItAfterModifierTapsButOtherAltKeysAndF10DoNothing) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze);
  ASSERT_FALSE(window.empty());
  RunXdotool(server_.Display(), "windowfocus --sync " + window + " key shift ctrl alt+space F10 alt alt+x");
  EXPECT_EQ(kaze.WaitForExit(500), -1) << "a system key other than Alt+F4 ended the program";
  EXPECT_EQ(SendKeysUntilExit(kaze, server_.Display(), window, "alt+F4", Patient(20000)), 0);
}

// A PNG file's size as "WxH", from its header.
std::string PngSize(const std::string& path) {
  unsigned char header[24] = {};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "unreadable";
  const size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got != sizeof header) return "short";
  auto word = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
  return std::to_string(word(16)) + "x" + std::to_string(word(20));
}

// The player's keys: F11 and Alt+Enter switch full screen, F12 saves the
// picture on screen; none of them reaches the program. A resized window
// still maps clicks onto the 640x480 picture.
TEST_F(KazeWindow, ScreenKeysStayWithTheHostAndTheResizedWindowMapsClicks) {
  const std::filesystem::path folder = data_ / "shots";
  std::filesystem::create_directories(folder);
  ChildProcess kaze;
  const std::string binary = KAZE_BINARY, data = data_.string();
  ASSERT_TRUE(kaze.Fork({"DISPLAY=" + server_.Display(), "SDL_AUDIODRIVER=dummy", "KAZE_SDL_INPUT_LOG=1",
                         WithOption("ASAN_OPTIONS", "detect_leaks=0"),
                         WithOption("TSAN_OPTIONS", "suppressions=" KAZE_SOURCE_DIR "/tests/host/sdl/tsan.supp")},
                        [&] {
                          if (chdir(folder.c_str()) != 0) return 126;
                          execl(binary.c_str(), "kaze", "--window", "--scale", "1", "--data", data.c_str(), nullptr);
                          return 127;
                        }));
  const std::string& display = server_.Display();
  const std::string window = WaitForWindow(display, "^kaze$", Patient(20000));
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  RunXdotool(display, "windowfocus --sync " + window + " key F11");
  EXPECT_EQ(WaitForSize(display, window, "1920x1080", Patient(10000)), "1920x1080");
  RunXdotool(display, "key alt+Return");
  EXPECT_EQ(WaitForSize(display, window, "640x480", Patient(10000)), "640x480");

  // The shot against the window's own pixels, taken when the picture held
  // still across both grabs.
  const bool canGrab = !FindProgram("import").empty() && !FindProgram("compare").empty();
  const std::string grab = (folder / "grab.png").string(), again = (folder / "again.png").string();
  auto grabWindow = [&](const std::string& path) {
    return std::system(("DISPLAY=" + display + " import -window " + window + " " + path).c_str()) == 0;
  };
  auto differ = [](const std::string& a, const std::string& b) {
    return std::system(("compare -metric AE -fuzz 1% " + a + " " + b + " null: 2>/dev/null").c_str()) != 0;
  };
  bool matched = false;
  for (int tries = 0; tries < 20 && !matched; ++tries) {
    const bool grabbed = canGrab && grabWindow(grab);
    RunXdotool(display, "key F12");
    const std::string line = kaze.WaitForLine("screenshot saved as ", Patient(10000));
    ASSERT_NE(line, "") << kaze.Output();
    const std::string shot = line.substr(line.find(" as ") + 4);
    ASSERT_EQ(std::filesystem::path(shot).parent_path(), std::filesystem::canonical(folder));
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_EQ(PngSize(shot), "640x480");
    if (!canGrab) break;
    matched = grabbed && grabWindow(again) && !differ(grab, again) && !differ(grab, shot);
    std::filesystem::remove(shot);
  }
  if (canGrab) {
    EXPECT_TRUE(matched) << "the screenshot never equalled the window's pixels";
  }

  RunXdotool(display, "key x");
  ASSERT_NE(kaze.WaitForLine("key down 0x58", Patient(10000)), "") << kaze.Output();
  for (const char* key : {"0x0D", "0x7A", "0x7B"}) EXPECT_EQ(kaze.Output().find(key), std::string::npos) << key;

  // 1000x600: the picture is 800x600 from x = 100, black bars left and right.
  RunXdotool(display, "windowsize " + window + " 1000 600");
  ASSERT_EQ(WaitForSize(display, window, "1000x600", Patient(10000)), "1000x600");
  RunXdotool(display, "mousemove --window " + window + " 500 300 click 1");
  EXPECT_EQ(kaze.WaitForLine("mouse down", Patient(10000)), "kaze-input: mouse down left 320 240") << kaze.Output();
  RunXdotool(display, "mousemove --window " + window + " 899 599 click 1");
  EXPECT_EQ(kaze.WaitForLine("mouse down", Patient(10000)), "kaze-input: mouse down left 639 479") << kaze.Output();
  EXPECT_EQ(SendKeysUntilExit(kaze, display, window, "Escape", Patient(20000)), 0);
}

// --scale alone asks for a window. One too large for the desktop (the
// server's 1920x1080) would put the control bar off the screen: it is the
// largest that fits, said once however often the player leaves full screen.
TEST_F(KazeWindow, ScaleAloneOpensAWindowAndOneTooLargeIsFittedToTheDesktop) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze, {}, {"SDL_AUDIODRIVER=dummy"}, {"--scale", "3"});
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  const std::string& display = server_.Display();
  EXPECT_EQ(WaitForSize(display, window, "1280x960", Patient(10000)), "1280x960");
  RunXdotool(display, "windowfocus --sync " + window + " key F11");
  EXPECT_EQ(WaitForSize(display, window, "1920x1080", Patient(10000)), "1920x1080");
  RunXdotool(display, "key F11");
  EXPECT_EQ(WaitForSize(display, window, "1280x960", Patient(10000)), "1280x960");
  EXPECT_EQ(SendKeysUntilExit(kaze, display, window, "Escape", Patient(20000)), 0);
  kaze.WaitForLine("(the end of its output)", 5000);
  const std::string& said = kaze.Output();
  auto count = [&](const std::string& part) {
    size_t found = 0;
    for (size_t at = said.find(part); at != std::string::npos; at = said.find(part, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count("kaze: --scale 3 plays in a window, as --window --scale 3 does\n"), 1u) << said;
  EXPECT_EQ(count("kaze: --scale 3 (1920x1440) does not fit the desktop's usable area of 1920x1080; "
                  "the window is 1280x960 (--scale 2)\n"),
            1u)
      << said;
}

// --record and --audio-out together: the sound, through SDL's disk driver
// (which pulls like a device), lasts exactly as long as the video, 882
// frames for each of its frames, and its header tells its true size.
TEST_F(KazeWindow, RecordsTheSoundAsLongAsTheVideo) {
  const std::string video = (data_ / "run.y4m").string(), sound = (data_ / "run.wav").string();
  ChildProcess kaze;
  const std::string window = StartKaze(kaze, {"--record", video, "--audio-out", sound},
                                       {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=/dev/null"});
  ASSERT_FALSE(window.empty()) << kaze.WaitForLine("", 2000);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_EQ(SendKeysUntilExit(kaze, server_.Display(), window, "Escape", Patient(20000)), 0) << kaze.Output();

  constexpr size_t kVideoHeader = 43, kFrame = 6 + 640 * 480 * 3 / 2;
  const size_t videoBytes = std::filesystem::file_size(video);
  ASSERT_EQ((videoBytes - kVideoHeader) % kFrame, 0u);
  const size_t frames = (videoBytes - kVideoHeader) / kFrame;
  EXPECT_GE(frames, 25u);
  const std::string wav = ReadAll(sound);
  ASSERT_EQ(wav.size(), 44 + frames * 882 * 4);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(Le32(wav, 40), wav.size() - 44);
}

TEST_F(KazeWindow, TerminationSignalEndsItInOrder) {
  ChildProcess kaze;
  ASSERT_FALSE(StartKaze(kaze).empty());
  kaze.Signal(SIGTERM);
  EXPECT_EQ(kaze.WaitForExit(Patient(20000)), 0);
}

// A window the X server destroys is a close: the run ends in order. Without
// a sound device the program's own line is the only one (ALSA's are dropped).
TEST_F(KazeWindow, AWindowTheServerDestroysIsACloseAndANoSoundDeviceIsOneLine) {
  ChildProcess kaze;
  const std::string window = StartKaze(kaze, {}, {"SDL_AUDIODRIVER=alsa", "AUDIODEV=kaze-no-such-device"});
  ASSERT_FALSE(window.empty()) << kaze.Output();
  RunXdotool(server_.Display(), "windowclose " + window);
  EXPECT_EQ(kaze.WaitForExit(Patient(20000)), 0) << kaze.Output();
  while (!kaze.WaitForLine("", 1000).empty()) {
  }
  EXPECT_EQ(kaze.Output().rfind("kaze: no audio output", 0), 0u) << kaze.Output();
  EXPECT_EQ(std::count(kaze.Output().begin(), kaze.Output().end(), '\n'), 1) << kaze.Output();
}

// The loader's box for a missing picture holds the main thread: a signal
// still takes the box down and ends the run in order, and a program killed
// outright takes its box with it.
TEST_F(KazeWindow, ASignalEndsItWhileABoxIsOpenAndNoBoxOutlivesTheProgram) {
  std::filesystem::remove(data_ / "Data" / "opening" / "op0010.v");
  for (const int signal : {SIGTERM, SIGKILL}) {
    ChildProcess kaze;
    ASSERT_FALSE(StartKaze(kaze).empty());
    ASSERT_FALSE(FindWindowNamed(server_.Display(), "ERROR", Patient(20000)).empty()) << kaze.Output();
    kaze.Signal(signal);
    EXPECT_EQ(kaze.WaitForExit(Patient(20000)), signal == SIGTERM ? 0 : 128 + SIGKILL) << kaze.Output();
    EXPECT_TRUE(NoWindowNamed(server_.Display(), "ERROR", Patient(10000))) << "a box outlived the program";
  }
}

TEST(KazeWithoutDisplay, SaysSoInOneLineThatSuggestsHeadlessAndExitsWith2) {
  ChildProcess kaze;
  ASSERT_TRUE(kaze.Exec({KAZE_BINARY, "--window"}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}));
  const std::string line = kaze.WaitForLine("", Patient(10000));
  EXPECT_EQ(kaze.WaitForExit(Patient(10000)), 2);
  EXPECT_NE(line.find("no display"), std::string::npos) << line;
  EXPECT_NE(line.find("--headless"), std::string::npos) << line;
  EXPECT_EQ(kaze.WaitForLine("", 100), "") << "more than one line";
}

}  // namespace
}  // namespace kaze::testing
