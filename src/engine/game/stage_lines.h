// The page's vertical text lines, unrolling from the top one after another.
#pragma once

// One frame of the current page's lines: waits count down, unrolling lines
// grow, and every started line is drawn. Space bar or right button held:
// fast.
void DrawStageLines();
