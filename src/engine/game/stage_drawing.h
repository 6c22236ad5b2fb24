// One frame of the page: its picture (with the overlay of page 3, the
// blinking overlay of page 6 or the zoom of page 7), then the control bar.
#pragma once

#include <cstdint>

// hot: the control-bar button under the pointer (0 for none).
void DrawStagePage(int32_t hot);
