// The scenes' pictures in the display's image slots: loading one by file
// name, and the rectangle of one loaded, which the scenes use for its height.
#pragma once

#include <windows.h>

#include <cstdint>

// Colour-keyed: the picture's top-left colour is transparent when drawn.
constexpr int32_t kKeyedPicture = 0x8000;

// Loads Data\<name> into `slot` (flags 0 or kKeyedPicture). A picture that
// cannot be loaded has already been reported to the player by the loader and
// leaves the slot empty; the scenes then draw nothing there. 1 on success.
int LoadPicture(int32_t slot, const char* name, int32_t flags = 0);

// 1 and the slot's source rectangle (0, 0, width, height) in *rect, or 0 and
// *rect untouched for a slot out of range or empty.
int GetSlotRect(int32_t slot, RECT* rect);
