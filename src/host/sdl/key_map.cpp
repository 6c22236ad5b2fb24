#include "host/sdl/key_map.h"

namespace kaze::host {

namespace {

// Keys by position (scancode), so that ESC, the space bar and the function
// keys are the same on every keyboard layout.
uint32_t VirtualKeyOfScancode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return 0x70 + (code - SDL_SCANCODE_F1);
  switch (code) {
    case SDL_SCANCODE_ESCAPE:
      return 0x1B;
    case SDL_SCANCODE_SPACE:
      return 0x20;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return 0x0D;
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_TAB:
      return 0x09;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return 0x10;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return 0x11;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return 0x12;
    case SDL_SCANCODE_PAUSE:
      return 0x13;
    case SDL_SCANCODE_PAGEUP:
      return 0x21;
    case SDL_SCANCODE_PAGEDOWN:
      return 0x22;
    case SDL_SCANCODE_END:
      return 0x23;
    case SDL_SCANCODE_HOME:
      return 0x24;
    case SDL_SCANCODE_LEFT:
      return 0x25;
    case SDL_SCANCODE_UP:
      return 0x26;
    case SDL_SCANCODE_RIGHT:
      return 0x27;
    case SDL_SCANCODE_DOWN:
      return 0x28;
    case SDL_SCANCODE_INSERT:
      return 0x2D;
    case SDL_SCANCODE_DELETE:
      return 0x2E;
    default:
      return 0;
  }
}

}  // namespace

uint32_t VirtualKeyOf(const SDL_Keysym& key) {
  if (uint32_t vk = VirtualKeyOfScancode(key.scancode)) return vk;
  // Letters and digits by what the layout prints on them, as Windows does.
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
  if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return '0' + (key.sym - SDLK_0);
  return 0;
}

bool IsSystemKey(const SDL_Keysym& key) {
  if (key.scancode == SDL_SCANCODE_LALT || key.scancode == SDL_SCANCODE_RALT) return true;
  if (key.scancode == SDL_SCANCODE_F10) return true;
  return (key.mod & KMOD_ALT) != 0;
}

}  // namespace kaze::host
