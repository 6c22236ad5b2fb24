// The sdl host's class, shared by the files of this folder that implement it
// one job each: sdl_host.cpp (start, end, recordings, audio, boxes),
// sdl_window.cpp (window, the present thread), sdl_events.cpp (events and
// input state), host_keys.cpp (the player's own keys, full screen) and
// sdl_clock.cpp (clock and sleep). Window and events belong to the main
// thread, the renderer to the present thread (present_thread.h); the game
// thread only publishes frames and reads the input state, which the main
// thread keeps in atomics as it pumps events.
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "host/frame_exchange.h"
#include "host/host.h"
#include "host/input_state.h"
#include "host/alsa_mixer.h"
#include "host/program_threads.h"
#include "host/sdl/audio_recorder.h"
#include "host/sdl/diagnostic_logs.h"
#include "host/sdl/message_box_relay.h"
#include "host/sdl/pad_pointer.h"
#include "host/sdl/present_thread.h"
#include "host/sdl/quit_signals.h"
#include "host/sdl/screen_recorder.h"
#include "host/sdl/sdl_audio.h"
#include "host/sdl/sdl_host.h"

namespace kaze::host {

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
  MixerDevice* Mixer() override { return options_.mixer ? machineMixer_.Device() : nullptr; }

  void MessageBox(std::string_view caption, std::string_view text) override;
  void DebugOutput(std::string_view) override {}
  void Trace(std::string_view, std::initializer_list<TraceField>) override {}

  void Finish(int exitCode) override;

 private:
  static constexpr uint32_t kVkLButton = 0x01;
  static constexpr uint32_t kVkRButton = 0x02;
  static constexpr uint32_t kVkMButton = 0x04;
  static constexpr uint32_t kVkMenu = 0x12;  // either Alt

  // sdl_host.cpp
  bool OpenRecordings(std::string& error);
  void CloseRecordings();
  void DiscardRecordings();
  void ShowBoxNow(std::string_view caption, std::string_view text);
  void EndRunInOrder();
  bool OnMainThread() const { return std::this_thread::get_id() == mainThread_; }
  // sdl_events.cpp
  bool Translate(const SDL_Event& sdlEvent, Event& event);
  bool TranslateKey(const SDL_KeyboardEvent& key, Event& event);
  static int FilterWindowEvents(void* host, SDL_Event* event);
  bool TranslateButton(const SDL_MouseButtonEvent& button, Event& event);
  void MoveCursor(int32_t windowX, int32_t windowY);
  void WindowPixelSize(int32_t& width, int32_t& height) const;
  // host_keys.cpp
  bool TakeHostKey(const SDL_KeyboardEvent& key);
  void ToggleFullscreen();
  // game_controllers.cpp
  struct Pad {
    SDL_GameController* controller;
    bool heldA = false, heldB = false;
  };
  void StartGameControllers();
  void OpenPresentControllers();
  void OpenController(int deviceIndex);
  void CloseGameControllers();
  bool TranslatePad(const SDL_Event& sdlEvent, Event& event);
  bool PadButton(const SDL_ControllerButtonEvent& button, Event& event);
  bool PadMouseButton(Pad& pad, bool Pad::*held, uint32_t virtualKey, bool down, Event& event);
  bool AnyPadHolds(bool Pad::*held) const;
  void ReleasePadButtons();
  bool MovePadPointer(Event& event);
  void PadPointerTo(int32_t x, int32_t y, Event& event);
  bool WarpEcho(const SDL_MouseMotionEvent& motion) const;
  // sdl_window.cpp
  void WindowedSize(int32_t& width, int32_t& height);
  bool CreateWindow(int32_t x, int32_t y, int32_t width, int32_t height, Uint32 flags);
  std::chrono::steady_clock::duration RefreshInterval() const;
  void DoMainThreadWork();
  void WakeMainThread();
  // sdl_clock.cpp
  void MainThreadSleep(uint32_t ms);

  const SdlHostOptions options_;
  const std::thread::id mainThread_ = std::this_thread::get_id();
  DiagnosticLogs logs_;
  bool sdlStarted_ = false;

  SDL_Window* window_ = nullptr;

  FrameExchange frames_;     // the game thread publishes, the present thread takes
  std::mutex publishMutex_;  // Publish has one writer at a time
  // Wakes the main thread's sleep for a box to show or a close.
  std::mutex wakeMutex_;
  std::condition_variable wake_;

  InputState input_;
  // Main thread: the host's own keys (Alt+Enter, F11, F12) whose release
  // must not reach the program either.
  std::array<bool, SDL_NUM_SCANCODES> hostKeysDown_{};
  bool fullscreen_ = false;
  bool scaleFitNoted_ = false;  // main thread: a --scale too large was said

  // Main thread: the open game controllers by instance id, the pointer they
  // move, and where the system pointer was last warped to.
  std::map<SDL_JoystickID, Pad> pads_;
  PadPointer padPointer_;
  std::array<SDL_Point, 8> recentWarps_{};
  size_t warpsMade_ = 0;

  MessageBoxRelay boxes_{[this] { WakeMainThread(); }};
  // A signal or a failed write ends the run: no box shows from then on,
  // and the main thread passes on one close.
  std::atomic<bool> endingFromOutside_{false};
  std::atomic<bool> closeRequested_{false};
  bool closedForWindowLoss_ = false;  // main thread
  std::unique_ptr<QuitSignals> signals_;
  SdlAudioOutput audio_;
  ScreenRecorder recorder_;      // the present thread's while it runs
  AudioRecorder audioRecorder_;  // fed by the audio thread
  PresentThread presenting_{frames_, recorder_, logs_};
  MachineMixer machineMixer_;
  ProgramThreads threads_;
};

}  // namespace kaze::host
