// Loading a scene's pictures into the display's image slots by file name.
#pragma once

#include <cstdint>

// Colour-keyed: the picture's top-left colour is transparent when drawn.
constexpr int32_t kKeyedPicture = 0x8000;

// Loads Data\<name> into `slot` (flags 0 or kKeyedPicture). A picture that
// cannot be loaded has already been reported to the player by the loader and
// leaves the slot empty; the scenes then draw nothing there. 1 on success.
int LoadPicture(int32_t slot, const char* name, int32_t flags = 0);
