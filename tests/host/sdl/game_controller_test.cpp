// A game controller turns a page of the story: the program with the sdl
// host in a private X server, run in a child process that starts the game
// thread at the story (as tests/support/story_fixture.h does) instead of
// after the minute and a half of intro, opening and title. SDL's virtual
// game controllers stand in for the hardware, driven by a thread of the
// child that waits for what the program shows at each step.
#ifdef KAZE_HAVE_SDL
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "game/fade.h"
#include "game/scenes.h"
#include "host/sdl/pad_pointer.h"
#include "host/sdl/sdl_host.h"
#include "program/run_program.h"
#include "shell/game_thread.h"
#include "sound/effects.h"
#include "support/story_fixture.h"
#include "support/x_session.h"

namespace kaze::testing {
namespace {

namespace fs = std::filesystem;
using test::BarColour;
using test::PageColour;
using test::To565;

// The sdl host, with the pixels the game thread presents at three places
// kept for the driving thread: the page, the inside of the next button and
// its corner (left bare while the button is drawn pressed in).
class WatchedHost final : public host::Host {
 public:
  explicit WatchedHost(host::Host& inner) : inner_(inner) {}
  std::atomic<uint16_t> page{0}, nextInside{0}, nextCorner{0};

  void PresentFrame(const host::Frame& frame) override {
    if (frame.pixels != nullptr) {
      auto at = [&](int32_t x, int32_t y) {
        return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(frame.pixels) + y * frame.pitch)[x];
      };
      page.store(at(320, 200));
      nextInside.store(at(580, 465));
      nextCorner.store(at(568, 452));
    }
    inner_.PresentFrame(frame);
  }
  bool OpenScreen(const host::ScreenIcon& icon) override { return inner_.OpenScreen(icon); }
  void CloseScreen() override { inner_.CloseScreen(); }
  void DesktopSize(int32_t& width, int32_t& height) override { inner_.DesktopSize(width, height); }
  bool PollEvent(host::Event& event) override { return inner_.PollEvent(event); }
  bool IsKeyDown(uint32_t key) override { return inner_.IsKeyDown(key); }
  void CursorPos(int32_t& x, int32_t& y) override { inner_.CursorPos(x, y); }
  void SetCursorShown(bool shown) override { inner_.SetCursorShown(shown); }
  uint32_t TickCount() override { return inner_.TickCount(); }
  void Sleep(uint32_t ms) override { inner_.Sleep(ms); }
  bool StartThread(std::function<void()> body) override { return inner_.StartThread(std::move(body)); }
  uint32_t OpenAudio(host::AudioSource* source) override { return inner_.OpenAudio(source); }
  void CloseAudio() override { inner_.CloseAudio(); }
  host::MixerDevice* Mixer() override { return inner_.Mixer(); }
  void MessageBox(std::string_view caption, std::string_view text) override { inner_.MessageBox(caption, text); }
  void DebugOutput(std::string_view text) override { inner_.DebugOutput(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override {
    inner_.Trace(event, fields);
  }
  void Finish(int exitCode) override { inner_.Finish(exitCode); }

 private:
  host::Host& inner_;
};

// One of SDL's virtual joysticks with a game controller's buttons and axes,
// which SDL gives a controller mapping in that order.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "kaze test pad";
    index_ = SDL_JoystickAttachVirtualEx(&desc);
    joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    id_ = joystick_ != nullptr ? SDL_JoystickInstanceID(joystick_) : -1;
  }
  ~VirtualPad() { Unplug(); }
  bool Plugged() const { return joystick_ != nullptr; }
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void StickX(double push) { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, Sint16(push * 32767)); }
  void Unplug() {
    if (joystick_ == nullptr) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    // The device index of our instance, which plugging others may have moved.
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
  }

 private:
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};

// The story from its first page, once.
void StoryFromItsFirstPage() {
  LoadEffects();
  InitFadeVolumeTable();
  SoundEnabled = 1;
  RunStory();
  ReleaseEffects();
}

// The driving thread: each step waits for what the program shows, and says
// on stderr that it is done ("pad: ...") or where it gave up.
class Driver {
 public:
  Driver(WatchedHost& host, VirtualPad& first, const std::atomic<bool>& ended)
      : host_(host), first_(first), ended_(ended) {}

  void Run() {
    if (!Step("page 1 shown", [&] { return Page() == To565(PageColour(1)); })) return;
    first_.Button(SDL_CONTROLLER_BUTTON_B, true);  // held: the text unrolls faster
    if (!Pressing(first_, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "pointer on back",
                  [&] { return Cursor(host::kBackButtonPoint.x, host::kBackButtonPoint.y); }))
      return;
    // The stick half pushed, towards the middle of next, until the pointer
    // is there; then let go.
    if (!Step("pointer on next", [&] {
          int32_t x = 0, y = 0;
          host_.CursorPos(x, y);
          first_.StickX(x < 580 ? 0.5 : x > 596 ? -0.5 : 0);
          return x >= 580 && x <= 596 && y == host::kNextButtonPoint.y;
        }))
      return;
    first_.StickX(0);
    // Next lights up under the pointer once the page's text is all there.
    if (!Step("next lit", [&] { return host_.nextInside.load() == To565(BarColour(23)); })) return;
    first_.Button(SDL_CONTROLLER_BUTTON_B, false);

    // A second controller plugged in while playing clicks next.
    VirtualPad second;
    if (!second.Plugged()) return Say("cannot plug a second virtual controller: " + std::string(SDL_GetError()));
    if (!Pressing(
            second, SDL_CONTROLLER_BUTTON_A, "next pressed in",
            [&] {
              return host_.nextInside.load() == To565(BarColour(23)) && host_.nextCorner.load() != To565(BarColour(23));
            },
            /*release=*/false))
      return;
    second.Button(SDL_CONTROLLER_BUTTON_A, false);
    if (!Step("page 2 shown", [&] { return Page() == To565(PageColour(2)); })) return;

    // The first one unplugged, the second still moves the pointer.
    first_.Unplug();
    if (!Pressing(second, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "second moves the pointer after the first left",
                  [&] { return Cursor(host::kBackButtonPoint.x, host::kBackButtonPoint.y); }))
      return;
    Say("done");
  }

 private:
  uint16_t Page() const { return host_.page.load(); }
  bool Cursor(int32_t wantX, int32_t wantY) const {
    int32_t x = 0, y = 0;
    host_.CursorPos(x, y);
    return x == wantX && y == wantY;
  }
  void Say(const std::string& text) { std::fprintf(stderr, "pad: %s\n", text.c_str()); }

  // Polls until `reached`, at most a patient minute.
  bool Step(const std::string& name, const std::function<bool()>& reached) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Patient(60000));
    while (!reached()) {
      if (ended_.load() || std::chrono::steady_clock::now() > deadline) {
        Say("gave up waiting for: " + name);
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Say(name);
    return true;
  }

  // Presses a button until its effect shows: a controller just plugged in
  // may not be open yet, and its first press then goes nowhere. SDL reads a
  // virtual button's state as it pumps, so the button is held and let go
  // for about a quarter of a second each, never both between two pumps.
  bool Pressing(VirtualPad& pad, SDL_GameControllerButton button, const std::string& name,
                const std::function<bool()>& reached, bool release = true) {
    int polls = 0;
    const bool done = Step(name, [&] {
      if (reached()) return true;
      pad.Button(button, polls++ / 125 % 2 == 0);
      return false;
    });
    if (release) pad.Button(button, false);
    return done;
  }

  WatchedHost& host_;
  VirtualPad& first_;
  const std::atomic<bool>& ended_;
};

// The child: the program on the sdl host with a controller plugged in from
// the start, driven by the thread above. Its exit code.
int PlayWithControllers(const fs::path& root) {
  std::string error;
  host::SdlHostOptions options;
  options.window = true;
  options.scale = 1;
  std::unique_ptr<host::Host> sdl = host::CreateSdlHost(options, error);
  if (sdl == nullptr) {
    std::fprintf(stderr, "pad: %s\n", error.c_str());
    return 3;
  }
  WatchedHost watched(*sdl);
  int exitCode = 0;
  {
    VirtualPad first;
    if (!first.Plugged()) {
      std::fprintf(stderr, "pad: cannot plug a virtual controller: %s\n", SDL_GetError());
      return 4;
    }
    std::atomic<bool> ended{false};
    Driver driver(watched, first, ended);
    std::thread driving([&] { driver.Run(); });
    GameScenario = StoryFromItsFirstPage;
    exitCode = program::RunProgram({.dataRoot = root, .platform = {}}, watched);
    ended.store(true);
    driving.join();
  }
  return exitCode;
}

// The pointer's place on the X screen, relative to the window, as
// "X Y", from xdotool.
std::string PointerInWindow(const std::string& display, const std::string& window) {
  std::istringstream location(RunXdotool(display, "getmouselocation"));
  std::istringstream geometry(RunXdotool(display, "getwindowgeometry " + window));
  std::string word, position;
  int x = 0, y = 0, left = 0, top = 0;
  char skip = 0;
  location >> skip >> skip >> x >> skip >> skip >> y;  // x:X y:Y ...
  while (geometry >> word && word != "Position:") {
  }
  geometry >> left >> skip >> top;
  return std::to_string(x - left) + " " + std::to_string(y - top);
}

TEST(GameController, SticksAndButtonsOfControllersPluggedInBeforeAndWhilePlayingTurnThePage) {
  if (FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (Debian package xdotool)";
  XvfbServer server;
  std::string reason;
  if (!server.Start(reason)) GTEST_SKIP() << "no X server for this test: " << reason;
  const fs::path root = fs::temp_directory_path() / ("kaze-pad-" + std::to_string(getpid()));
  test::WriteStoryData(root);

  // Controllers count whether or not the window has the keyboard, which
  // a window without a window manager may not get.
  std::vector<std::string> environment = {"DISPLAY=" + server.Display(), "SDL_AUDIODRIVER=dummy",
                                          "SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1"};
  for (const std::string& option : ProgramOnXvfbSanitizerOptions()) environment.push_back(option);
  ChildProcess kaze;
  ASSERT_TRUE(kaze.Fork(environment, [&] { return PlayWithControllers(root); }));
  const std::string window = WaitForWindow(server.Display(), "^kaze$", Patient(20000));
  ASSERT_FALSE(window.empty()) << kaze.Output();

  for (const char* step : {"page 1 shown", "pointer on back", "pointer on next", "next lit", "next pressed in",
                           "page 2 shown", "second moves the pointer after the first left", "done"}) {
    ASSERT_EQ(kaze.WaitForLine("pad: ", Patient(90000)), std::string("pad: ") + step) << kaze.Output();
  }
  // The system pointer, which the player sees, went with the program's:
  // the window is 640x480, the picture's pixels are its own.
  EXPECT_EQ(PointerInWindow(server.Display(), window), "518 465");
  EXPECT_EQ(SendKeysUntilExit(kaze, server.Display(), window, "Escape", Patient(20000)), 0) << kaze.Output();
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
}  // namespace kaze::testing

#endif  // KAZE_HAVE_SDL
