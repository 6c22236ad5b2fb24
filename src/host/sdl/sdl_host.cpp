// The player's machine through SDL2. Window, renderer and events belong to
// the main thread; the game thread only publishes frames and reads the input
// state, which the main thread keeps in atomics as it pumps events.
#include "host/sdl/sdl_host.h"

#include <SDL.h>
#include <time.h>

#include <array>
#include <atomic>
#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "host/program_threads.h"
#include "host/sdl/alsa_messages.h"
#include "host/sdl/audio_recorder.h"
#include "host/sdl/box_child.h"
#include "host/frame_exchange.h"
#include "host/input_state.h"
#include "host/sdl/key_map.h"
#include "host/sdl/message_box_relay.h"
#include "host/sdl/quit_signals.h"
#include "host/sdl/screen_recorder.h"
#include "host/sdl/screenshot.h"
#include "host/sdl/sdl_audio.h"
#include "host/sdl/view_fit.h"
#include "host/sdl/x11_window_loss.h"
#include "host/write_failure.h"

namespace kaze::host {

namespace {

constexpr uint32_t kVkLButton = 0x01;
constexpr uint32_t kVkRButton = 0x02;
constexpr uint32_t kVkMButton = 0x04;
constexpr uint32_t kVkMenu = 0x12;  // either Alt

uint64_t MonotonicMicros() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint64_t(now.tv_sec) * 1000000u + uint64_t(now.tv_nsec) / 1000u;
}

// Test and measurement aids, off unless their variable is set:
//   KAZE_SDL_INPUT_LOG=1      each change of a mouse button that the game
//                             thread sees, with the cursor position it sees,
//                             as a line on stderr; and each key message
//                             and mouse button message passed to the
//                             program, with its virtual key or position
//   KAZE_SDL_PRESENT_LOG=FILE for every presented frame, one line: when the
//                             main thread took it and when its presentation
//                             returned, in microseconds
struct DiagnosticLogs {
  bool input = false;
  std::FILE* presents = nullptr;

  DiagnosticLogs() {
    const char* input_ = std::getenv("KAZE_SDL_INPUT_LOG");
    input = input_ != nullptr && *input_ != '\0' && *input_ != '0';
    if (const char* path = std::getenv("KAZE_SDL_PRESENT_LOG"); path != nullptr && *path != '\0') {
      presents = std::fopen(path, "w");
    }
  }
  ~DiagnosticLogs() {
    if (presents != nullptr) std::fclose(presents);
  }
};

// The video drivers that show a picture to someone, in SDL's order: X11
// and Wayland only where a session names their server (so that a machine
// with neither says so in one line), then the console. SDL's own last
// resorts, offscreen and dummy, show nothing and are never taken unless
// SDL_VIDEODRIVER asks for them.
std::string DisplayDrivers() {
  std::string drivers;
  if (const char* x11 = std::getenv("DISPLAY"); x11 != nullptr && *x11 != '\0') drivers += "x11,";
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0') {
    drivers += "wayland,";
  }
  return drivers + "KMSDRM";
}

std::string NoDisplayReason() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  std::string names;
  if (x11 != nullptr && *x11 != '\0') names = std::string("DISPLAY=") + x11;
  if (wayland != nullptr && *wayland != '\0') names += (names.empty() ? "" : " or ") + std::string("WAYLAND_DISPLAY=") + wayland;
  return names.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "cannot open " + names;
}

class SdlHost final : public Host {
 public:
  explicit SdlHost(const SdlHostOptions& options) : options_(options) {}
  ~SdlHost() override;

  bool Start(std::string& error);

  bool OpenScreen(const ScreenIcon& icon) override;
  void CloseScreen() override;
  void DesktopSize(int32_t& width, int32_t& height) override;
  void PresentFrame(const Frame& frame) override;

  bool PollEvent(Event& event) override;
  bool IsKeyDown(uint32_t virtualKey) override;
  void CursorPos(int32_t& x, int32_t& y) override;
  void SetCursorShown(bool shown) override;

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  bool StartThread(std::function<void()> body) override;

  uint32_t OpenAudio(AudioSource* source) override;
  void CloseAudio() override { audio_.Close(); }

  void MessageBox(std::string_view caption, std::string_view text) override;
  void DebugOutput(std::string_view) override {}
  void Trace(std::string_view, std::initializer_list<TraceField>) override {}

  void Finish(int exitCode) override;

 private:
  bool OpenRecordings(std::string& error);
  void CloseRecordings();
  void DiscardRecordings();
  bool OnMainThread() const { return std::this_thread::get_id() == mainThread_; }
  bool Translate(const SDL_Event& sdlEvent, Event& event);
  bool TranslateKey(const SDL_KeyboardEvent& key, Event& event);
  bool TakeHostKey(const SDL_KeyboardEvent& key);
  void ToggleFullscreen();
  void WindowedSize(int32_t& width, int32_t& height);
  bool TranslateButton(const SDL_MouseButtonEvent& button, Event& event);
  void MoveCursor(int32_t windowX, int32_t windowY);
  void Draw(const StoredFrame* frame);
  bool EnsureTexture(PixelLayout layout);
  void ShowBoxNow(std::string_view caption, std::string_view text);
  void DoMainThreadWork();
  void EndRunInOrder();
  bool FrameDue() const;
  void WakeMainThread();
  void MainThreadSleep(uint32_t ms);

  const SdlHostOptions options_;
  const std::thread::id mainThread_ = std::this_thread::get_id();
  DiagnosticLogs logs_;
  bool sdlStarted_ = false;

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  PixelLayout textureLayout_ = PixelLayout::Rgb565;

  FrameExchange frames_;
  // Main thread: at most one presentation per display refresh; a frame that
  // comes sooner waits (the newest one wins) until nextPresent_.
  std::chrono::steady_clock::duration refreshInterval_ = std::chrono::microseconds(16667);
  std::chrono::steady_clock::time_point nextPresent_{};
  std::mutex publishMutex_;  // Publish has one writer at a time
  // Wakes the main thread's sleep for a new frame or a box to show.
  std::mutex wakeMutex_;
  std::condition_variable wake_;

  InputState input_;
  std::array<bool, 3> buttonsSeen_{};  // game thread: last state logged
  // Main thread: the host's own keys (Alt+Enter, F11, F12) whose release
  // must not reach the program either.
  std::array<bool, SDL_NUM_SCANCODES> hostKeysDown_{};
  bool fullscreen_ = false;
  bool scaleFitNoted_ = false;  // main thread: a --scale too large was said

  MessageBoxRelay boxes_{[this] { WakeMainThread(); }};
  // A signal or a failed write ends the run: no box shows from then on,
  // and the main thread passes on one close.
  std::atomic<bool> endingFromOutside_{false};
  std::atomic<bool> closeRequested_{false};
  bool closedForWindowLoss_ = false;  // main thread
  std::unique_ptr<QuitSignals> signals_;
  SdlAudioOutput audio_;
  ScreenRecorder recorder_;      // main thread
  AudioRecorder audioRecorder_;  // fed by the audio thread
  ProgramThreads threads_;
};

SdlHost::~SdlHost() {
  Finish(0);
  if (sdlStarted_) SDL_Quit();
}

bool SdlHost::Start(std::string& error) {
  // First: every thread started from here (the recorders', SDL's, the
  // program's) leaves SIGINT and SIGTERM to the signals' own thread.
  signals_ = std::make_unique<QuitSignals>([this] { EndRunInOrder(); });
  if (!OpenRecordings(error)) return false;
  SilenceAlsaMessages();
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");  // closing is the program's decision
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");               // the message loop must keep pumping
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");   // the click that activates counts, as on Windows
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");         // ours work while a box is open
  const bool driverChosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (!driverChosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, DisplayDrivers().c_str());
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const std::string why = driverChosen ? std::string(SDL_GetError()) : NoDisplayReason();
    error = "no display available (" + why + "); run with --headless to play without one";
    DiscardRecordings();
    return false;
  }
  sdlStarted_ = true;
  return true;
}

// Before the display, so that a file that cannot be made is said whether
// or not there is a display. Both recordings share their time 0. A write
// that fails later ends the run as a signal does.
bool SdlHost::OpenRecordings(std::string& error) {
  TheWriteFailures().Begin([this] { EndRunInOrder(); });
  const auto start = std::chrono::steady_clock::now();
  if (!options_.recordPath.empty() && !recorder_.Open(options_.recordPath, start, error)) return false;
  if (!options_.audioOutPath.empty() && !audioRecorder_.Open(options_.audioOutPath, kSdlAudioRate, start, error)) {
    DiscardRecordings();
    return false;
  }
  return true;
}

// A run that does not start leaves no empty recording behind (and touches
// no file it could not open, nor a device named as one).
void SdlHost::DiscardRecordings() {
  recorder_.Discard();
  audioRecorder_.Discard();
}

// The sound ends with the video when there is one, so that the two have
// the same length.
void SdlHost::CloseRecordings() {
  const auto now = std::chrono::steady_clock::now();
  const bool video = recorder_.IsOpen();
  recorder_.Close(now);
  audioRecorder_.Close(video ? recorder_.Length() : now - audioRecorder_.Start());
}

// ---- screen ----------------------------------------------------------------

void SdlHost::DesktopSize(int32_t& width, int32_t& height) {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    width = mode.w;
    height = mode.h;
  } else {
    width = kScreenWidth;
    height = kScreenHeight;
  }
}

bool SdlHost::OpenScreen(const ScreenIcon& icon) {
  if (window_ != nullptr) return true;
  int32_t x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  int32_t width = kScreenWidth, height = kScreenHeight;
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options_.window) {
    WindowedSize(width, height);
  } else {
    // The desktop keeps its mode; the picture is scaled onto it. The window
    // starts as a borderless one over the whole desktop, so that it covers
    // the screen even where no window manager acts on the full-screen state.
    SDL_Rect bounds{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayBounds(0, &bounds);
    x = bounds.x;
    y = bounds.y;
    width = bounds.w;
    height = bounds.h;
    flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI;
  }
  // Hidden until the renderer is made: an OpenGL renderer makes the window
  // anew, and only the final window should ever be shown.
  window_ = SDL_CreateWindow("kaze", x, y, width, height, flags | SDL_WINDOW_HIDDEN);
  if (window_ == nullptr) {
    std::fprintf(stderr, "kaze: cannot open a window: %s\n", SDL_GetError());
    return false;
  }
  fullscreen_ = !options_.window;
  if (fullscreen_) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  // No text entry: an input method must not take the space bar or the keys
  // (the program switches the input-method editor off as well).
  SDL_StopTextInput();
  // SDL copies the pixels into the window's icon property.
  if (icon.argb != nullptr) {
    if (SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(icon.argb), ScreenIcon::kSize, ScreenIcon::kSize, 32, ScreenIcon::kSize * 4,
            SDL_PIXELFORMAT_ARGB8888)) {
      SDL_SetWindowIcon(window_, surface);
      SDL_FreeSurface(surface);
    }
  }
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr || !EnsureTexture(PixelLayout::Rgb565)) {
    std::fprintf(stderr, "kaze: cannot draw into the window: %s\n", SDL_GetError());
    CloseScreen();
    return false;
  }
  WatchForWindowLoss(window_);
  SDL_ShowWindow(window_);
  SDL_DisplayMode mode{};
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0)
    refreshInterval_ = std::chrono::microseconds(1000000 / mode.refresh_rate);
  int32_t mouseX = 0, mouseY = 0;
  SDL_GetMouseState(&mouseX, &mouseY);
  MoveCursor(mouseX, mouseY);
  Draw(nullptr);
  return true;
}

void SdlHost::CloseScreen() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    SettleWindowErrors();
  }
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

bool SdlHost::EnsureTexture(PixelLayout layout) {
  if (texture_ != nullptr && layout == textureLayout_) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  // The frame's own 16-bit format: SDL uploads it as it is.
  const Uint32 format = layout == PixelLayout::Rgb555 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
  texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight);
  if (texture_ == nullptr) return false;
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);  // sharp pixels
  textureLayout_ = layout;
  return true;
}

void SdlHost::PresentFrame(const Frame& frame) {
  if (frame.pixels == nullptr || frame.pitch < int32_t(kScreenWidth * sizeof(uint16_t))) return;
  {
    std::lock_guard lock(publishMutex_);
    if (!frames_.Publish(frame)) return;
  }
  WakeMainThread();
}

void SdlHost::WakeMainThread() {
  std::lock_guard lock(wakeMutex_);
  wake_.notify_one();
}

// Main thread: the given frame, or black when there is none yet.
void SdlHost::Draw(const StoredFrame* frame) {
  if (renderer_ == nullptr || WindowWasLost()) return;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (frame != nullptr && EnsureTexture(frame->layout)) {
    SDL_UpdateTexture(texture_, nullptr, frame->pixels.data(), kScreenWidth * sizeof(uint16_t));
    int32_t outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    const ViewRect view = FitPicture(outputWidth, outputHeight);
    const SDL_Rect target{view.x, view.y, view.width, view.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  }
  SDL_RenderPresent(renderer_);
}

// ---- events and input --------------------------------------------------------

bool SdlHost::PollEvent(Event& event) {
  DoMainThreadWork();
  if (closeRequested_.exchange(false) || (WindowWasLost() && !closedForWindowLoss_)) {
    closedForWindowLoss_ = closedForWindowLoss_ || WindowWasLost();
    event = Event{.kind = Event::Kind::Close};
    return true;
  }
  SDL_Event sdlEvent;
  while (SDL_PollEvent(&sdlEvent)) {
    if (Translate(sdlEvent, event)) return true;
  }
  return false;
}

// Main thread: the boxes the game thread waits for, then the newest frame.
// Events are pumped first, so that a window the server destroyed is known
// before a frame is drawn on it.
void SdlHost::DoMainThreadWork() {
  SDL_PumpEvents();
  if (boxes_.HasWaiting()) boxes_.Serve([this](auto caption, auto text) { ShowBoxNow(caption, text); });
  if (recorder_.IsOpen()) recorder_.CatchUp(std::chrono::steady_clock::now());
  if (!FrameDue()) return;
  nextPresent_ = std::chrono::steady_clock::now() + refreshInterval_;
  if (const StoredFrame* frame = frames_.TakeNewest()) {
    recorder_.Shown(frame);
    const uint64_t taken = logs_.presents != nullptr ? MonotonicMicros() : 0;
    Draw(frame);
    if (logs_.presents != nullptr) {
      std::fprintf(logs_.presents, "%llu %llu\n", static_cast<unsigned long long>(taken),
                   static_cast<unsigned long long>(MonotonicMicros()));
    }
  }
}

bool SdlHost::FrameDue() const { return frames_.HasNew() && std::chrono::steady_clock::now() >= nextPresent_; }

bool SdlHost::Translate(const SDL_Event& sdlEvent, Event& event) {
  switch (sdlEvent.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return !TakeHostKey(sdlEvent.key) && TranslateKey(sdlEvent.key, event);
    case SDL_MOUSEMOTION:
      MoveCursor(sdlEvent.motion.x, sdlEvent.motion.y);
      event = Event{.kind = Event::Kind::MouseMove};
      CursorPos(event.x, event.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return TranslateButton(sdlEvent.button, event);
    case SDL_WINDOWEVENT:
      switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          event = Event{.kind = Event::Kind::Close};
          return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          event = Event{.kind = Event::Kind::Focus, .gained = true};
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          input_.ReleaseAllKeys();  // releases that happen elsewhere never reach us
          event = Event{.kind = Event::Kind::Focus, .gained = false};
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          Draw(frames_.Current());
          return false;
        default:
          return false;
      }
    default:
      return false;
  }
}

bool SdlHost::TranslateKey(const SDL_KeyboardEvent& key, Event& event) {
  const uint32_t virtualKey = VirtualKeyOf(key.keysym);
  if (virtualKey == 0) return false;
  const bool down = key.type == SDL_KEYDOWN;
  input_.SetKey(virtualKey, down, TickCount());
  if (logs_.input) std::fprintf(stderr, "kaze-input: key %s 0x%02X\n", down ? "down" : "up", unsigned(virtualKey));
  event = Event{.kind = Event::Kind::Key, .virtualKey = virtualKey, .down = down, .alt = IsSystemKey(key.keysym)};
  return true;
}

// ---- the host's own keys -------------------------------------------------------

// Alt+Enter and F11 switch between full screen and a window, F12 saves the
// picture. They are the player's, not the story's: neither their press nor
// their release is passed on, and the Alt of Alt+Enter is let go in the key
// state, since its release may never come once the window changed.
bool SdlHost::TakeHostKey(const SDL_KeyboardEvent& key) {
  const SDL_Scancode code = key.keysym.scancode;
  if (key.type == SDL_KEYUP) {
    const bool taken = hostKeysDown_[code];
    hostKeysDown_[code] = false;
    return taken;
  }
  const bool enter = code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER;
  const bool toggle = (enter && (key.keysym.mod & KMOD_ALT) != 0) || code == SDL_SCANCODE_F11;
  if (!toggle && code != SDL_SCANCODE_F12) return false;
  hostKeysDown_[code] = true;
  if (key.repeat != 0) return true;
  if (toggle) {
    input_.SetKey(kVkMenu, false, TickCount());
    ToggleFullscreen();
  } else if (const StoredFrame* frame = frames_.Current()) {
    SaveScreenshot(*frame);
  }
  return true;
}

// The window size for --window and for leaving full screen: --scale times
// 640x480, else the largest whole multiple that fits the desktop. A --scale
// too large for the desktop would put the control bar off the screen: the
// largest that fits instead, said once.
void SdlHost::WindowedSize(int32_t& width, int32_t& height) {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) DesktopSize(usable.w, usable.h);
  const int32_t fitting = LargestWholeScale(usable.w, usable.h);
  int32_t scale = options_.scale > 0 ? std::min<int32_t>(options_.scale, fitting) : fitting;
  if (scale < options_.scale && !scaleFitNoted_) {
    scaleFitNoted_ = true;
    std::fprintf(stderr,
                 "kaze: --scale %d (%dx%d) does not fit the desktop's usable area of %dx%d; "
                 "the window is %dx%d (--scale %d)\n",
                 options_.scale, kScreenWidth * options_.scale, kScreenHeight * options_.scale, usable.w, usable.h,
                 kScreenWidth * scale, kScreenHeight * scale, scale);
  }
  width = kScreenWidth * scale;
  height = kScreenHeight * scale;
}

void SdlHost::ToggleFullscreen() {
  if (window_ == nullptr) return;
  fullscreen_ = !fullscreen_;
  if (fullscreen_) {
    // Over the whole desktop first, for where no window manager acts on
    // the full-screen state.
    SDL_Rect bounds{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &bounds);
    SDL_SetWindowBordered(window_, SDL_FALSE);
    SDL_SetWindowPosition(window_, bounds.x, bounds.y);
    SDL_SetWindowSize(window_, bounds.w, bounds.h);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(window_, 0);
    int32_t width = 0, height = 0;
    WindowedSize(width, height);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, width, height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  Draw(frames_.Current());
}

bool SdlHost::TranslateButton(const SDL_MouseButtonEvent& button, Event& event) {
  MoveCursor(button.x, button.y);
  const bool down = button.type == SDL_MOUSEBUTTONDOWN;
  switch (button.button) {
    case SDL_BUTTON_LEFT:
      input_.SetKey(kVkLButton, down, TickCount());
      break;
    case SDL_BUTTON_RIGHT:
      input_.SetKey(kVkRButton, down, TickCount());
      break;
    case SDL_BUTTON_MIDDLE:
      input_.SetKey(kVkMButton, down, TickCount());
      return false;
    default:
      return false;
  }
  event = Event{.kind = Event::Kind::MouseButton, .down = down};
  event.button = button.button == SDL_BUTTON_LEFT ? 0 : 1;
  CursorPos(event.x, event.y);
  if (logs_.input) {
    std::fprintf(stderr, "kaze-input: mouse %s %s %d %d\n", down ? "down" : "up", event.button == 0 ? "left" : "right",
                 event.x, event.y);
  }
  return true;
}

// Mouse positions come in window units; the picture is fitted to the
// drawable, which has more pixels than the window has units on a HiDPI
// screen.
void SdlHost::MoveCursor(int32_t windowX, int32_t windowY) {
  int32_t width = kScreenWidth, height = kScreenHeight;
  int32_t outputWidth = kScreenWidth, outputHeight = kScreenHeight;
  if (window_ != nullptr) SDL_GetWindowSize(window_, &width, &height);
  if (renderer_ != nullptr) SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
  if (width > 0 && height > 0) {
    windowX = int32_t(int64_t(windowX) * outputWidth / width);
    windowY = int32_t(int64_t(windowY) * outputHeight / height);
  } else {
    outputWidth = width = kScreenWidth, outputHeight = height = kScreenHeight;
  }
  int32_t x = 0, y = 0;
  WindowToScreen(FitPicture(outputWidth, outputHeight), windowX, windowY, x, y);
  input_.SetCursor(x, y);
}

bool SdlHost::IsKeyDown(uint32_t virtualKey) {
  const bool down = input_.IsKeyDown(virtualKey, TickCount());
  const bool button = virtualKey == kVkLButton || virtualKey == kVkRButton;
  if (logs_.input && button && !OnMainThread() && buttonsSeen_[virtualKey] != down) {
    buttonsSeen_[virtualKey] = down;
    int32_t x = 0, y = 0;
    input_.Cursor(x, y);
    std::fprintf(stderr, "kaze-input: %s %s %d %d\n", virtualKey == kVkLButton ? "left" : "right",
                 down ? "down" : "up", x, y);
  }
  return down;
}

void SdlHost::CursorPos(int32_t& x, int32_t& y) { input_.Cursor(x, y); }

void SdlHost::SetCursorShown(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

// ---- clock and threads -------------------------------------------------------

uint32_t SdlHost::TickCount() { return uint32_t(MonotonicMicros() / 1000u); }

void SdlHost::Sleep(uint32_t ms) {
  if (OnMainThread()) {
    MainThreadSleep(ms);
    return;
  }
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += ms / 1000;
  deadline.tv_nsec += long(ms % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

// The main thread sleeps in its message loop and in the wait for the game
// thread's end. It still presents a frame the moment it is flipped (not at
// the next turn of the loop, which would add up to a millisecond of jitter)
// and shows a box the game thread waits for; the sleep lasts as asked.
void SdlHost::MainThreadSleep(uint32_t ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  DoMainThreadWork();
  if (ms == 0) {
    std::this_thread::yield();
    return;
  }
  std::unique_lock lock(wakeMutex_);
  for (;;) {
    // A frame held back for the refresh wakes the sleep when it is due.
    const auto until = frames_.HasNew() ? std::min(deadline, nextPresent_) : deadline;
    const bool woken = wake_.wait_until(lock, until, [this] { return FrameDue() || boxes_.HasWaiting(); });
    if (!woken && std::chrono::steady_clock::now() >= deadline) return;
    lock.unlock();
    DoMainThreadWork();
    lock.lock();
  }
}

bool SdlHost::StartThread(std::function<void()> body) { return threads_.Start(std::move(body)); }

// ---- audio -------------------------------------------------------------------

uint32_t SdlHost::OpenAudio(AudioSource* source) {
  if (!audioRecorder_.IsOpen() || source == nullptr) return audio_.Open(source);
  audio_.Close();
  audioRecorder_.PlaceNextPullAt(std::chrono::steady_clock::now());
  return audio_.Open(audioRecorder_.Tee(source));
}

// ---- messages ----------------------------------------------------------------

void SdlHost::MessageBox(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
  if (OnMainThread()) {
    ShowBoxNow(caption, text);
  } else {
    boxes_.ShowAndWait(std::string(caption), std::string(text));
  }
}

void SdlHost::ShowBoxNow(std::string_view caption, std::string_view text) {
  const std::string captionText(caption), messageText(text);
  // Over the window, full screen or not; without a display it was said on
  // stderr already. (SDL's X11 box needs the X server's core fonts.)
  const int shown = ShowBoxInChild(
      [&] { return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionText.c_str(), messageText.c_str(), window_); },
      endingFromOutside_);
  if (shown != 0 && !endingFromOutside_.load()) {
    std::fprintf(stderr, "kaze: the message box cannot be shown (%s)\n", SDL_GetError());
  }
}

// A signal (on the signals' own thread) or a failed write (on the writing
// thread) ends the run as a close does. The box is taken down after the
// flag is raised, so that no later box shows; the game thread that waited
// for it goes on to its next frame, where the close ends it.
void SdlHost::EndRunInOrder() {
  endingFromOutside_.store(true);
  TakeDownBox();
  closeRequested_.store(true);
  WakeMainThread();
}

void SdlHost::Finish(int) {
  boxes_.Close();
  threads_.JoinAll();
  audio_.Close();
  CloseRecordings();
  TheWriteFailures().End();
  CloseScreen();
  signals_.reset();  // from here a signal has its default effect again
}

}  // namespace

std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions& options, std::string& error) {
  auto host = std::make_unique<SdlHost>(options);
  if (!host->Start(error)) return nullptr;
  return host;
}

}  // namespace kaze::host
