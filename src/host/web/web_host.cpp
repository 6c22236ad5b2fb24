// The program's threads reach the page through three ways only: events they
// take from a queue, frames they publish for the next animation frame, and
// calls into page.js that run later on the browser's thread. Everything the
// browser's thread does happens in the callbacks at the bottom of this file.
#include "host/web/web_host.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/threading.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "host/frame_exchange.h"
#include "host/input_state.h"
#include "host/memory_mixer.h"
#include "host/pixel_rgb.h"
#include "host/program_threads.h"
#include "host/web/audio_ring.h"
#include "host/web/key_map.h"
#include "host/web/page_boxes.h"
#include "host/web/screen_point.h"

namespace kaze::host {

namespace {

constexpr uint32_t kVkLButton = 0x01;
constexpr uint32_t kVkRButton = 0x02;
constexpr uint32_t kVkMButton = 0x04;
constexpr uint32_t kAudioRate = 44100;  // the page asks its AudioContext for this rate

// A C string the page frees once it has read it: the asking thread may be
// gone by the time the browser's thread runs the call.
char* PageString(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void ShowBoxInPage(uint32_t ticket, const std::string& caption, const std::string& text) {
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        kazePage.showBox($0, UTF8ToString($1), UTF8ToString($2));
        _free($1);
        _free($2);
      },
      ticket, PageString(caption), PageString(text));
}

// Every 16-bit pixel's RGBA word (little-endian: R, G, B, A in memory), the
// same expansion as the snapshots'.
class RgbaTable {
 public:
  explicit RgbaTable(PixelLayout layout) : layout_(layout), words_(65536) {
    for (uint32_t pixel = 0; pixel < words_.size(); ++pixel) {
      unsigned char rgb[3];
      ToRgb(uint16_t(pixel), layout, rgb);
      words_[pixel] = uint32_t(rgb[0]) | uint32_t(rgb[1]) << 8 | uint32_t(rgb[2]) << 16 | 0xFF000000u;
    }
  }
  PixelLayout Layout() const { return layout_; }
  uint32_t operator[](uint16_t pixel) const { return words_[pixel]; }

 private:
  PixelLayout layout_;
  std::vector<uint32_t> words_;
};

class WebHost final : public Host {
 public:
  WebHost();
  ~WebHost() override { Finish(0); }

  bool OpenScreen(const ScreenIcon& icon) override;
  void CloseScreen() override {}
  void DesktopSize(int32_t& width, int32_t& height) override { width = kScreenWidth, height = kScreenHeight; }
  void PresentFrame(const Frame& frame) override;

  bool PollEvent(Event& event) override;
  bool IsKeyDown(uint32_t virtualKey) override { return input_.IsKeyDown(virtualKey, TickCount()); }
  void CursorPos(int32_t& x, int32_t& y) override { input_.Cursor(x, y); }
  void SetCursorShown(bool shown) override;

  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  bool StartThread(std::function<void()> body) override;

  uint32_t OpenAudio(AudioSource* source) override;
  void CloseAudio() override;
  // The page has no sound card's mixer to set: the program's volume work
  // runs on one in memory.
  MixerDevice* Mixer() override { return mixer_.get(); }

  void MessageBox(std::string_view caption, std::string_view text) override;
  void DebugOutput(std::string_view) override {}
  void Trace(std::string_view, std::initializer_list<TraceField>) override {}

  void Finish(int exitCode) override;

  // The page's report that the player closed a box (browser's thread).
  void BoxClosed(uint32_t ticket) { boxes_.Closed(ticket); }

 private:
  // ---- the browser's thread ----
  static void StartOnPage(WebHost* host);
  static EM_BOOL OnAnimationFrame(double time, void* host);
  static EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* mouse, void* host);
  static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* key, void* host);
  static EM_BOOL OnFocus(int type, const EmscriptenFocusEvent* focus, void* host);
  static const char* OnUnload(int type, const void* reserved, void* host);
  void Draw(const StoredFrame& frame);
  void MoveCursor(double pageX, double pageY);
  void Post(const Event& event);

  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex eventsMutex_;
  std::deque<Event> events_;
  InputState input_;
  std::array<bool, 3> pressed_{};  // browser's thread: the buttons pressed on the canvas

  std::mutex publishMutex_;  // Publish has one writer at a time
  FrameExchange frames_;
  std::unique_ptr<RgbaTable> rgba_;  // browser's thread
  std::vector<uint32_t> picture_;    // browser's thread: the RGBA picture handed to the canvas
  std::atomic<bool> ended_{false};

  PageBoxes boxes_;
  std::unique_ptr<MixerDevice> mixer_ = CreateMemoryMixerDevice(*this);
  AudioFeeder audio_;
  ProgramThreads threads_;
  bool finished_ = false;
};

WebHost* gPageHost = nullptr;  // for the page's calls back in

WebHost::WebHost() : boxes_(&ShowBoxInPage) {
  gPageHost = this;
  emscripten_sync_run_in_main_runtime_thread(EM_FUNC_SIG_VI, &WebHost::StartOnPage, this);
}

// ---- screen ----------------------------------------------------------------

// The page is the screen and is always there; the window's icon becomes the
// tab's. The page gets the pixels as R, G, B, A in memory, in a copy that it
// frees once it has read it (the call runs later, on the browser's thread).
bool WebHost::OpenScreen(const ScreenIcon& icon) {
  if (icon.argb == nullptr) return true;
  constexpr size_t kPixels = size_t(ScreenIcon::kSize) * ScreenIcon::kSize;
  auto* rgba = static_cast<uint32_t*>(std::malloc(kPixels * sizeof(uint32_t)));
  if (rgba == nullptr) return true;
  for (size_t i = 0; i < kPixels; ++i) {
    const uint32_t argb = icon.argb[i];
    rgba[i] = (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16 | (argb & 0xFF000000u);
  }
  MAIN_THREAD_ASYNC_EM_ASM(
      {
        kazePage.showIcon(HEAPU8.slice($0, $0 + $1 * $1 * 4), $1);
        _free($0);
      },
      rgba, ScreenIcon::kSize);
  return true;
}

void WebHost::PresentFrame(const Frame& frame) {
  if (frame.pixels == nullptr || frame.pitch < int32_t(kScreenWidth * sizeof(uint16_t))) return;
  std::lock_guard lock(publishMutex_);
  frames_.Publish(frame);
}

void WebHost::SetCursorShown(bool shown) {
  MAIN_THREAD_ASYNC_EM_ASM({ kazePage.showCursor($0); }, shown ? 1 : 0);
}

// ---- events ------------------------------------------------------------------

bool WebHost::PollEvent(Event& event) {
  std::lock_guard lock(eventsMutex_);
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void WebHost::Post(const Event& event) {
  std::lock_guard lock(eventsMutex_);
  events_.push_back(event);
}

// ---- clock and threads ---------------------------------------------------------

uint32_t WebHost::TickCount() {
  const auto elapsed = std::chrono::steady_clock::now() - start_;
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void WebHost::Sleep(uint32_t ms) {
  if (ms == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

bool WebHost::StartThread(std::function<void()> body) { return threads_.Start(std::move(body)); }

// ---- sound -------------------------------------------------------------------

uint32_t WebHost::OpenAudio(AudioSource* source) {
  if (source == nullptr || !audio_.Open(source, kAudioRate)) return 0;
  AudioRing& ring = audio_.Ring();
  MAIN_THREAD_ASYNC_EM_ASM({ kazePage.audioOpened(wasmMemory.buffer, $0); }, &ring.Header());
  return kAudioRate;
}

void WebHost::CloseAudio() { audio_.Close(); }

// ---- messages and the end ------------------------------------------------------

void WebHost::MessageBox(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
  boxes_.ShowAndWait(caption, text);
}

void WebHost::Finish(int exitCode) {
  if (finished_) return;
  finished_ = true;
  boxes_.Close();
  threads_.JoinAll();
  audio_.Close();
  ended_.store(true, std::memory_order_release);
  MAIN_THREAD_ASYNC_EM_ASM({ kazePage.ended($0); }, exitCode);
}

// ---- the browser's thread ------------------------------------------------------

void WebHost::StartOnPage(WebHost* host) {
  constexpr const char* kCanvas = "#screen";
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  // The callbacks run here, on the browser's thread: "the calling thread"
  // would be the program's, which called in to get here.
  const pthread_t here = EM_CALLBACK_THREAD_CONTEXT_MAIN_BROWSER_THREAD;
  // Presses on the canvas; moves and releases anywhere, so that a button let
  // go outside the picture is let go for the program too.
  emscripten_set_mousedown_callback_on_thread(kCanvas, host, true, &WebHost::OnMouse, here);
  emscripten_set_mousemove_callback_on_thread(window, host, true, &WebHost::OnMouse, here);
  emscripten_set_mouseup_callback_on_thread(window, host, true, &WebHost::OnMouse, here);
  emscripten_set_keydown_callback_on_thread(window, host, false, &WebHost::OnKey, here);
  emscripten_set_keyup_callback_on_thread(window, host, false, &WebHost::OnKey, here);
  emscripten_set_focus_callback_on_thread(window, host, true, &WebHost::OnFocus, here);
  emscripten_set_blur_callback_on_thread(window, host, true, &WebHost::OnFocus, here);
  emscripten_set_beforeunload_callback_on_thread(host, &WebHost::OnUnload, here);
  emscripten_request_animation_frame_loop(&WebHost::OnAnimationFrame, host);
  EM_ASM({ kazePage.running(); });
}

// Shows the newest frame once per display refresh; a still picture costs
// nothing but the check.
EM_BOOL WebHost::OnAnimationFrame(double, void* userData) {
  auto* host = static_cast<WebHost*>(userData);
  if (host->ended_.load(std::memory_order_acquire)) return EM_FALSE;
  if (const StoredFrame* frame = host->frames_.TakeNewest()) host->Draw(*frame);
  return EM_TRUE;
}

void WebHost::Draw(const StoredFrame& frame) {
  if (!rgba_ || rgba_->Layout() != frame.layout) rgba_ = std::make_unique<RgbaTable>(frame.layout);
  picture_.resize(size_t(kScreenWidth) * kScreenHeight);
  const RgbaTable& table = *rgba_;
  for (size_t i = 0; i < picture_.size(); ++i) picture_[i] = table[frame.pixels[i]];
  EM_ASM({ kazePage.draw(HEAPU8.subarray($0, $0 + 640 * 480 * 4)); }, picture_.data());
}

void WebHost::MoveCursor(double pageX, double pageY) {
  alignas(8) std::array<double, 4> rect{};
  EM_ASM(
      {
        const box = kazePage.canvasBox();
        HEAPF64.set([ box.left, box.top, box.width, box.height ], $0 >> 3);
      },
      rect.data());
  int32_t x = 0, y = 0;
  PageToScreen(CanvasBox{rect[0], rect[1], rect[2], rect[3]}, pageX, pageY, x, y);
  input_.SetCursor(x, y);
}

EM_BOOL WebHost::OnMouse(int type, const EmscriptenMouseEvent* mouse, void* userData) {
  auto* host = static_cast<WebHost*>(userData);
  host->MoveCursor(double(mouse->clientX), double(mouse->clientY));
  Event event{.kind = Event::Kind::MouseMove};
  host->input_.Cursor(event.x, event.y);
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    host->Post(event);
    return EM_FALSE;
  }
  const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
  static constexpr std::array<uint32_t, 3> kButtonKeys{kVkLButton, kVkMButton, kVkRButton};  // DOM order
  if (mouse->button > 2) return EM_FALSE;
  const bool wasDown = std::exchange(host->pressed_[mouse->button], down);
  host->input_.SetKey(kButtonKeys[mouse->button], down, host->TickCount());
  // The middle button reaches only the key state; a release outside the
  // canvas of a press that began elsewhere is no click of ours.
  if (mouse->button == 1 || (!down && !wasDown)) return EM_FALSE;
  event.kind = Event::Kind::MouseButton;
  event.down = down;
  event.button = mouse->button == 0 ? 0 : 1;
  host->Post(event);
  return down ? EM_TRUE : EM_FALSE;  // no text selection or focus change from a press on the picture
}

EM_BOOL WebHost::OnKey(int type, const EmscriptenKeyboardEvent* key, void* userData) {
  auto* host = static_cast<WebHost*>(userData);
  const uint32_t virtualKey = VirtualKeyOfDomKey(key->code, key->key);
  if (virtualKey == 0) return EM_FALSE;
  const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  host->input_.SetKey(virtualKey, down, host->TickCount());
  host->Post(Event{.kind = Event::Kind::Key,
                   .virtualKey = virtualKey,
                   .down = down,
                   .alt = IsDomSystemKey(key->code, key->altKey != 0)});
  // The browser keeps its shortcuts (Ctrl+R, Ctrl+W and the like); the
  // story's keys do nothing else in the page (the space bar would scroll).
  return key->ctrlKey || key->metaKey ? EM_FALSE : EM_TRUE;
}

EM_BOOL WebHost::OnFocus(int type, const EmscriptenFocusEvent*, void* userData) {
  auto* host = static_cast<WebHost*>(userData);
  const bool gained = type == EMSCRIPTEN_EVENT_FOCUS;
  if (!gained) host->input_.ReleaseAllKeys();  // releases that happen elsewhere never reach us
  host->Post(Event{.kind = Event::Kind::Focus, .gained = gained});
  return EM_FALSE;
}

// Closing the tab closes the window, as the close button would.
const char* WebHost::OnUnload(int, const void*, void* userData) {
  static_cast<WebHost*>(userData)->Post(Event{.kind = Event::Kind::Close});
  return nullptr;  // no "leave this page?" question
}

}  // namespace

std::unique_ptr<Host> CreateWebHost() { return std::make_unique<WebHost>(); }

}  // namespace kaze::host

// The page's calls back into the program (browser's thread).
extern "C" EMSCRIPTEN_KEEPALIVE void kaze_web_box_closed(uint32_t ticket) {
  if (kaze::host::gPageHost != nullptr) kaze::host::gPageHost->BoxClosed(ticket);
}
