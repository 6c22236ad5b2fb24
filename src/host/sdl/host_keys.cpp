// The player's own keys, which the sdl host takes before the program sees
// them: full screen on and off, and the screenshot.
#include "host/sdl/sdl_host_internal.h"

namespace kaze::host {

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
  } else {
    presenting_.Screenshot(options_.screenshotDir);  // the present thread holds the frame shown last
  }
  return true;
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
  presenting_.Redraw();
  if (options_.fullscreenChosen) options_.fullscreenChosen(fullscreen_);
}

}  // namespace kaze::host
