// The narrow interface between the platform stand-in and the real machine.
// Two hosts implement it: headless (virtual clock, scripted input, trace) and
// sdl (a real window, input and audio). Only src/host/ includes host headers
// of its own kind; the platform sees this interface alone (with
// pixel_layout.h, the screen's pixel formats), and the engine never sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "host/mixer_device.h"
#include "host/pixel_layout.h"

namespace kaze::host {

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;

// One finished 640x480 frame; valid only for the duration of the call.
struct Frame {
  const uint16_t* pixels = nullptr;
  int32_t pitch = 0;  // bytes per row
  PixelLayout layout = PixelLayout::Rgb565;
  // The platform's count of surface writes when the frame was presented (0:
  // not known). Two frames with the same pixels pointer and the same nonzero
  // count show the same picture: nothing was written in between.
  uint64_t writes = 0;
};

// The window's icon as the platform hands it down when the screen opens:
// kSize x kSize pixels, 0xAARRGGBB row by row from the top, valid only for
// the duration of the call; null when the window's class has no icon.
struct ScreenIcon {
  static constexpr int32_t kSize = 32;
  const uint32_t* argb = nullptr;
};

// An input event for the window's message queue.
struct Event {
  // SurfacesLost: the display's memory was taken away (as by a mode switch
  // of another program); the platform marks the screen's surfaces lost.
  enum class Kind : uint8_t { Key, MouseMove, MouseButton, Focus, Close, SurfacesLost };
  Kind kind = Kind::Key;
  uint32_t virtualKey = 0;  // Key: a Windows virtual-key code
  bool down = false;        // Key, MouseButton: pressed (true) or released
  bool alt = false;         // Key: Alt was held (a system key)
  int32_t x = 0, y = 0;     // MouseMove, MouseButton: 640x480 screen position
  int button = 0;           // MouseButton: 0 left, 1 right
  bool gained = false;      // Focus: activation gained (true) or lost
};

// Mixed audio comes from the platform's software mixer through this entry:
// interleaved signed 16-bit stereo at the rate the host reported.
class AudioSource {
 public:
  virtual void Mix(int16_t* stereo, size_t frames) = 0;

 protected:
  ~AudioSource() = default;
};

struct TraceField {
  std::string_view key;
  std::variant<int64_t, bool, std::string_view> value;
};

class Host {
 public:
  virtual ~Host() = default;

  // The screen: 640x480 at 16 bits per pixel, with the window's icon where
  // the host shows one.
  virtual bool OpenScreen(const ScreenIcon& icon) = 0;
  virtual void CloseScreen() = 0;
  virtual void DesktopSize(int32_t& width, int32_t& height) = 0;
  // Publishes a finished frame; any thread. The host shows the newest one.
  virtual void PresentFrame(const Frame& frame) = 0;

  // Input. PollEvent runs on the main thread; the state queries are safe on
  // any thread.
  virtual bool PollEvent(Event& event) = 0;
  virtual bool IsKeyDown(uint32_t virtualKey) = 0;  // VK_LBUTTON, VK_RBUTTON, VK_SPACE, ...
  virtual void CursorPos(int32_t& x, int32_t& y) = 0;
  virtual void SetCursorShown(bool shown) = 0;  // main thread

  // Clock and threads. All waiting of the program goes through Sleep, so a
  // host may run the threads in turns on a virtual clock.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // Runs body on a new thread; false when no thread could be started.
  virtual bool StartThread(std::function<void()> body) = 0;

  // Audio: rate is the output's sample rate, or 0 when there is no output.
  virtual uint32_t OpenAudio(AudioSource* source) = 0;
  virtual void CloseAudio() = 0;
  // The machine's audio mixer, or null for a machine without one. The host
  // owns it; the platform's mixer calls connect to it. Any thread.
  virtual MixerDevice* Mixer() = 0;

  // What the program tells the user or the debugger.
  virtual void MessageBox(std::string_view caption, std::string_view text) = 0;
  virtual void DebugOutput(std::string_view text) = 0;
  // A record for the run's trace (sound events and the like); hosts without
  // a trace ignore it.
  virtual void Trace(std::string_view event, std::initializer_list<TraceField> fields) = 0;

  // The program has ended with this exit code.
  virtual void Finish(int exitCode) = 0;
};

// The host the platform talks to; set once by main before WinMain.
Host& TheHost();
void SetHost(Host* host);

}  // namespace kaze::host
