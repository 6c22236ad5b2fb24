// The message queue of the program's window. The main thread takes messages;
// any thread may post. Input from the host is turned into messages whenever
// the queue is looked at, as Windows does while a thread reads its queue.
#include <windows.h>

#include <array>
#include <deque>
#include <mutex>

#include "host/host.h"
#include "platform/ddraw/ddraw_internal.h"
#include "platform/dsound/sound_focus.h"
#include "platform/user32/window_system.h"

namespace kaze::platform {

namespace {

std::mutex gQueueMutex;
std::deque<MSG> gQueue;
bool gQuitPosted = false;
int gQuitCode = 0;
// The keys as the key messages taken so far tell it (GetKeyState): a key's
// state belongs to its place in the stream of messages, not to the moment
// someone asks.
std::array<bool, 256> gKeysDown{};

constexpr LPARAM kKeyUpBits = LPARAM{1} << 30 | LPARAM{1} << 31;  // previous state down, transition up
constexpr LPARAM kAltContextBit = LPARAM{1} << 29;

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  GetCursorPos(&msg.pt);
  return msg;
}

void Enqueue(const MSG& msg) {
  std::lock_guard lock(gQueueMutex);
  gQueue.push_back(msg);
}

LPARAM ClientPoint(HWND hwnd, int32_t x, int32_t y) {
  RECT screen{};
  WindowScreenRect(hwnd, screen);
  auto word = [](LONG v) { return static_cast<LPARAM>(static_cast<WORD>(v)); };
  return word(x - screen.left) | word(y - screen.top) << 16;
}

void KeyMessage(HWND hwnd, const host::Event& event) {
  // Keys pressed with Alt held, and F10 and Alt itself, are system keys.
  bool system = event.alt || event.virtualKey == VK_F10 || event.virtualKey == VK_MENU;
  UINT message = event.down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lParam = 1;
  if (!event.down) lParam |= kKeyUpBits;
  if (event.alt) lParam |= kAltContextBit;
  Enqueue(MakeMessage(hwnd, message, event.virtualKey, lParam));
}

void MouseButtonMessage(HWND hwnd, const host::Event& event) {
  UINT message =
      event.button == 0 ? (event.down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (event.down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
  Enqueue(MakeMessage(hwnd, message, 0, ClientPoint(hwnd, event.x, event.y)));
}

void ReleaseKeys() {
  std::lock_guard lock(gQueueMutex);
  gKeysDown.fill(false);
}

// Moves what the host has gathered into the queue; activation changes are
// sent to the window at once, as the system sends WM_ACTIVATEAPP, and told
// to DirectSound, whose buffers follow the focus, window or none.
void TakeHostInput() {
  host::Event event;
  while (host::TheHost().PollEvent(event)) {
    HWND hwnd = InputWindow();
    switch (event.kind) {
      case host::Event::Kind::Key:
        if (hwnd != nullptr) KeyMessage(hwnd, event);
        break;
      case host::Event::Kind::MouseMove:
        if (hwnd != nullptr) Enqueue(MakeMessage(hwnd, WM_MOUSEMOVE, 0, ClientPoint(hwnd, event.x, event.y)));
        break;
      case host::Event::Kind::MouseButton:
        if (hwnd != nullptr) MouseButtonMessage(hwnd, event);
        break;
      case host::Event::Kind::Focus:
        // Keys released while another program has the focus never reach us.
        if (!event.gained) ReleaseKeys();
        SetProgramActive(event.gained);
        if (hwnd != nullptr) SendToWindow(hwnd, WM_ACTIVATEAPP, event.gained ? TRUE : FALSE, 0);
        break;
      case host::Event::Kind::Close:
        if (hwnd != nullptr) Enqueue(MakeMessage(hwnd, WM_CLOSE, 0, 0));
        break;
      case host::Event::Kind::SurfacesLost:
        LoseScreenSurfaces();
        break;
    }
  }
}

bool InFilter(UINT message, UINT filterMin, UINT filterMax) {
  return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

void NoteKeyMessage(const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
  if ((down || up) && msg.wParam < gKeysDown.size()) gKeysDown[msg.wParam] = down;
}

bool TakeMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) {
  std::lock_guard lock(gQueueMutex);
  for (auto it = gQueue.begin(); it != gQueue.end(); ++it) {
    if (hwnd != nullptr && it->hwnd != hwnd) continue;
    if (!InFilter(it->message, filterMin, filterMax)) continue;
    *msg = *it;
    if (remove) {
      NoteKeyMessage(*msg);
      gQueue.erase(it);
    }
    return true;
  }
  // WM_QUIT comes once every posted message has been taken.
  if (gQuitPosted && gQueue.empty()) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(gQuitCode);
    if (remove) gQuitPosted = false;
    return true;
  }
  return false;
}

}  // namespace

void ResetMessageQueue() {
  std::lock_guard lock(gQueueMutex);
  gQueue.clear();
  gQuitPosted = false;
  gQuitCode = 0;
  gKeysDown.fill(false);
}

}  // namespace kaze::platform

using namespace kaze::platform;

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  if (msg == nullptr) return FALSE;
  TakeHostInput();
  return TakeMessage(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  // Waiting for a message is sleeping until one comes, so that a host with a
  // virtual clock can move time on meanwhile.
  while (!PeekMessageA(msg, hwnd, filterMin, filterMax, PM_REMOVE)) Sleep(1);
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

SHORT GetKeyState(int virtualKey) {
  if (virtualKey < 0 || static_cast<size_t>(virtualKey) >= gKeysDown.size()) return 0;
  std::lock_guard lock(gQueueMutex);
  return gKeysDown[static_cast<size_t>(virtualKey)] ? static_cast<SHORT>(0x8000) : 0;
}

BOOL TranslateMessage(const MSG* msg) {
  // Character messages are not used by the program; report whether the
  // message was a key message, as the system does.
  if (msg == nullptr) return FALSE;
  const UINT message = msg->message;
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ? TRUE
                                                                                                            : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SendToWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && !IsLiveWindow(hwnd)) return FALSE;  // ERROR_INVALID_WINDOW_HANDLE
  Enqueue(MakeMessage(hwnd, message, wParam, lParam));
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  std::lock_guard lock(gQueueMutex);
  gQuitPosted = true;
  gQuitCode = exitCode;
}
