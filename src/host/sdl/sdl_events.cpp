// The sdl host's events: SDL's events made into the program's, and the
// input state (buttons, keys, cursor) kept as they pass for any thread to
// read.
#include "host/sdl/key_map.h"
#include "host/sdl/sdl_host_internal.h"
#include "host/sdl/view_fit.h"
#include "host/sdl/x11_window_loss.h"

namespace kaze::host {

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
  return MovePadPointer(event);  // every turn: a held stick moves on without events
}

bool SdlHost::Translate(const SDL_Event& sdlEvent, Event& event) {
  switch (sdlEvent.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return !TakeHostKey(sdlEvent.key) && TranslateKey(sdlEvent.key, event);
    case SDL_MOUSEMOTION:
      if (WarpEcho(sdlEvent.motion)) return false;
      MoveCursor(sdlEvent.motion.x, sdlEvent.motion.y);
      event = Event{.kind = Event::Kind::MouseMove};
      CursorPos(event.x, event.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return TranslateButton(sdlEvent.button, event);
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      return TranslatePad(sdlEvent, event);
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
          ReleasePadButtons();
          event = Event{.kind = Event::Kind::Focus, .gained = false};
          return true;
        default:
          return false;
      }
    default:
      return false;
  }
}

// SDL's renderer watches the events as they are queued, on the main
// thread, and changes its own state for the window's (size, shown or not),
// which the present thread uses at the same moment. So the window's state
// events are taken here, before any watch sees them: those after which the
// window must be drawn again become a request to the present thread, which
// sets the renderer's viewport to the window's size itself as it draws.
// Close and focus go on to the queue.
int SdlHost::FilterWindowEvents(void* host, SDL_Event* event) {
  if (event->type != SDL_WINDOWEVENT) return 1;
  switch (event->window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
      static_cast<SdlHost*>(host)->presenting_.Redraw(true);
      return 0;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      static_cast<SdlHost*>(host)->presenting_.Redraw();
      return 0;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MINIMIZED:
      return 0;
    default:
      return 1;
  }
}

bool SdlHost::TranslateKey(const SDL_KeyboardEvent& key, Event& event) {
  const uint32_t virtualKey = VirtualKeyOf(key.keysym);
  if (virtualKey == 0) return false;
  const bool down = key.type == SDL_KEYDOWN;
  input_.SetKey(virtualKey, down, TickCount());
  logs_.KeyMessage(virtualKey, down);
  event = Event{.kind = Event::Kind::Key, .virtualKey = virtualKey, .down = down, .alt = IsSystemKey(key.keysym)};
  return true;
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
  logs_.MouseMessage(down, event.button, event.x, event.y);
  return true;
}

// Mouse positions come in window units; the picture is fitted to the
// drawable, which has more pixels than the window has units on a HiDPI
// screen.
void SdlHost::MoveCursor(int32_t windowX, int32_t windowY) {
  int32_t width = kScreenWidth, height = kScreenHeight;
  int32_t outputWidth = kScreenWidth, outputHeight = kScreenHeight;
  if (window_ != nullptr) SDL_GetWindowSize(window_, &width, &height);
  WindowPixelSize(outputWidth, outputHeight);
  if (width > 0 && height > 0) {
    windowX = int32_t(int64_t(windowX) * outputWidth / width);
    windowY = int32_t(int64_t(windowY) * outputHeight / height);
  } else {
    outputWidth = width = kScreenWidth, outputHeight = height = kScreenHeight;
  }
  int32_t x = 0, y = 0;
  WindowToScreen(ViewFor(options_.scaling, outputWidth, outputHeight), windowX, windowY, x, y);
  input_.SetCursor(x, y);
  padPointer_.Place(x, y);  // a controller moves on from where the mouse left the pointer
}

// The window's size in pixels, which is the renderer's output size, asked
// of the window: the renderer belongs to the present thread.
void SdlHost::WindowPixelSize(int32_t& width, int32_t& height) const {
  if (window_ == nullptr) return;
#if SDL_VERSION_ATLEAST(2, 26, 0)
  SDL_GetWindowSizeInPixels(window_, &width, &height);
#else
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_OPENGL) != 0) {
    SDL_GL_GetDrawableSize(window_, &width, &height);
  } else {
    SDL_GetWindowSize(window_, &width, &height);
  }
#endif
}

bool SdlHost::IsKeyDown(uint32_t virtualKey) {
  const bool down = input_.IsKeyDown(virtualKey, TickCount());
  const bool button = virtualKey == kVkLButton || virtualKey == kVkRButton;
  if (logs_.Input() && button && !OnMainThread()) logs_.ButtonSeen(virtualKey, down, input_);
  return down;
}

void SdlHost::CursorPos(int32_t& x, int32_t& y) { input_.Cursor(x, y); }

void SdlHost::SetCursorShown(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

}  // namespace kaze::host
