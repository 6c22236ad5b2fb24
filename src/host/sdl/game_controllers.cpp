// Game controllers through SDL's game controller mapping: the left stick
// and the d-pad move the pointer, A is the left mouse button, B held the
// right one (the story's faster text), the shoulders jump to the control
// bar's back and next. Controllers come and go while the program runs, any
// number at once. Nothing on a controller ends the program: the quit button
// on the bar, reached with the pointer, asks first; Start and Back do
// nothing.
#include <SDL.h>

#include <algorithm>

#include "host/sdl/sdl_host_internal.h"
#include "host/sdl/view_fit.h"

namespace kaze::host {

namespace {

double AxisOf(SDL_GameController* controller, SDL_GameControllerAxis axis) {
  return std::clamp(SDL_GameControllerGetAxis(controller, axis) / 32767.0, -1.0, 1.0);
}

bool Held(SDL_GameController* controller, SDL_GameControllerButton button) {
  return SDL_GameControllerGetButton(controller, button) != 0;
}

}  // namespace

// A machine without joystick support still plays, with mouse and keys.
void SdlHost::StartGameControllers() { SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER); }

// SDL announces the controllers plugged in before the start as added, but
// those events do not outlive the window's opening (seen with SDL 2.26 on
// X11): the controllers there once the window is shown are opened here,
// and later ones as they are added.
void SdlHost::OpenPresentControllers() {
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return;
  for (int index = 0; index < SDL_NumJoysticks(); ++index)
    if (SDL_IsGameController(index)) OpenController(index);
}

void SdlHost::OpenController(int deviceIndex) {
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (!pads_.try_emplace(id, Pad{controller}).second) SDL_GameControllerClose(controller);  // open already
}

void SdlHost::CloseGameControllers() {
  for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
  pads_.clear();
}

bool SdlHost::TranslatePad(const SDL_Event& sdlEvent, Event& event) {
  switch (sdlEvent.type) {
    case SDL_CONTROLLERDEVICEADDED:
      OpenController(sdlEvent.cdevice.which);
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (auto pad = pads_.find(sdlEvent.cdevice.which); pad != pads_.end()) {
        // What it held is let go in the polled state; the program asks that.
        pad->second.heldA = pad->second.heldB = false;
        if (!AnyPadHolds(&Pad::heldA)) input_.SetKey(kVkLButton, false, TickCount());
        if (!AnyPadHolds(&Pad::heldB)) input_.SetKey(kVkRButton, false, TickCount());
        SDL_GameControllerClose(pad->second.controller);
        pads_.erase(pad);
      }
      return false;
    default:
      return PadButton(sdlEvent.cbutton, event);
  }
}

bool SdlHost::PadButton(const SDL_ControllerButtonEvent& button, Event& event) {
  auto pad = pads_.find(button.which);
  if (pad == pads_.end()) return false;
  const bool down = button.type == SDL_CONTROLLERBUTTONDOWN;
  switch (button.button) {
    case SDL_CONTROLLER_BUTTON_A:
      return PadMouseButton(pad->second, &Pad::heldA, kVkLButton, down, event);
    case SDL_CONTROLLER_BUTTON_B:
      return PadMouseButton(pad->second, &Pad::heldB, kVkRButton, down, event);
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: {
      if (!down) return false;
      const bool back = button.button == SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
      const PadPoint target = back ? kBackButtonPoint : kNextButtonPoint;
      padPointer_.Place(target.x, target.y);
      PadPointerTo(target.x, target.y, event);
      return true;
    }
    default:
      return false;
  }
}

// A button held on two controllers is one mouse button: it goes down with
// the first press and up with the last release.
bool SdlHost::PadMouseButton(Pad& pad, bool Pad::*held, uint32_t virtualKey, bool down, Event& event) {
  const bool wasDown = AnyPadHolds(held);
  pad.*held = down;
  if (AnyPadHolds(held) == wasDown) return false;
  input_.SetKey(virtualKey, down, TickCount());
  event = Event{.kind = Event::Kind::MouseButton, .down = down};
  event.button = virtualKey == kVkLButton ? 0 : 1;
  CursorPos(event.x, event.y);
  logs_.MouseMessage(down, event.button, event.x, event.y);
  return true;
}

bool SdlHost::AnyPadHolds(bool Pad::*held) const {
  return std::any_of(pads_.begin(), pads_.end(), [held](const auto& pad) { return pad.second.*held; });
}

void SdlHost::ReleasePadButtons() {
  for (auto& [id, pad] : pads_) pad.heldA = pad.heldB = false;
}

// Each turn of the main loop, whether or not a controller said anything:
// the sticks and d-pads of all controllers together, polled, so that a
// stick held still keeps the pointer going at its speed.
bool SdlHost::MovePadPointer(Event& event) {
  if (pads_.empty()) return false;
  PadDeflection push;
  for (const auto& [id, pad] : pads_) {
    SDL_GameController* controller = pad.controller;
    const PadDeflection dpad = PadMotionLaw::DpadDeflection(
        Held(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT), Held(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
        Held(controller, SDL_CONTROLLER_BUTTON_DPAD_UP), Held(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN));
    push.x += AxisOf(controller, SDL_CONTROLLER_AXIS_LEFTX) + dpad.x;
    push.y += AxisOf(controller, SDL_CONTROLLER_AXIS_LEFTY) + dpad.y;
  }
  int32_t x = 0, y = 0;
  if (!padPointer_.Advance(push, TickCount(), x, y)) return false;
  PadPointerTo(x, y, event);
  return true;
}

// The program's pointer moves, and so does the system's, which is the one
// the player sees on the picture. The motion the warp brings back is the
// pad's own and is not taken as the mouse's (WarpEcho).
void SdlHost::PadPointerTo(int32_t x, int32_t y, Event& event) {
  input_.SetCursor(x, y);
  event = Event{.kind = Event::Kind::MouseMove, .x = x, .y = y};
  if (window_ == nullptr) return;
  int32_t width = 0, height = 0, outputWidth = 0, outputHeight = 0;
  SDL_GetWindowSize(window_, &width, &height);
  WindowPixelSize(outputWidth, outputHeight);
  if (width <= 0 || height <= 0 || outputWidth <= 0 || outputHeight <= 0) return;
  int32_t pixelX = 0, pixelY = 0;
  ScreenToWindow(ViewFor(options_.scaling, outputWidth, outputHeight), x, y, pixelX, pixelY);
  const SDL_Point warp{int(int64_t(pixelX) * width / outputWidth), int(int64_t(pixelY) * height / outputHeight)};
  recentWarps_[warpsMade_++ % recentWarps_.size()] = warp;
  SDL_WarpMouseInWindow(window_, warp.x, warp.y);
}

// The server answers each warp with a motion to its place, which may come
// after the next warp has been made. While the stick moves the pointer
// every motion is taken for such an answer; after that, a motion to one
// of the last places warped to.
bool SdlHost::WarpEcho(const SDL_MouseMotionEvent& motion) const {
  if (padPointer_.Moving()) return true;
  const size_t made = std::min<size_t>(warpsMade_, recentWarps_.size());
  return std::any_of(recentWarps_.begin(), recentWarps_.begin() + made,
                     [&](const SDL_Point& warp) { return warp.x == motion.x && warp.y == motion.y; });
}

}  // namespace kaze::host
