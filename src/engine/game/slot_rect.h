// The rectangle of a loaded picture, which the scenes use for its height.
#pragma once

#include <windows.h>

#include <cstdint>

// 1 and the slot's source rectangle (0, 0, width, height) in *rect, or 0 and
// *rect untouched for a slot out of range or empty.
int GetSlotRect(int32_t slot, RECT* rect);
