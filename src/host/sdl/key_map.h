// SDL keys as the Windows virtual-key codes that the window's messages carry.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace kaze::host {

// The virtual-key code of a key, or 0 for keys the program has no name for.
uint32_t VirtualKeyOf(const SDL_Keysym& key);

// Whether Windows would report the key as a system key (WM_SYSKEYDOWN/UP):
// any key while Alt is held, Alt itself, and F10.
bool IsSystemKey(const SDL_Keysym& key);

}  // namespace kaze::host
