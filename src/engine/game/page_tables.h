// The story's pages: how many text lines each has, where each line stands,
// how fast it unrolls and how long it waits, and the lines' run-time state.
// Pages are numbered from 1; page 4 has no lines and is never shown.
#pragma once

#include <cstdint>

constexpr int32_t kFirstPage = 1;
constexpr int32_t kSkippedPage = 4;
constexpr int32_t kLastPage = 7;
constexpr int32_t kStoryOverPage = kLastPage + 1;
constexpr int32_t kMaxPageLines = 5;

// The sound effects that loop under pages: the wind over page 2, and the
// sound under page 7, which page 6 stops too.
constexpr int kPageLoopEffect = 2;
constexpr int kZoomLoopEffect = 3;

// Line pictures are in slots 1 to lineCount, the page picture in slot 10,
// overlays and animation frames in 11 to 13.
constexpr int32_t kBackgroundSlot = 10;
constexpr int32_t kOverlaySlot = 11;

struct StageInfoEntry {
  int32_t lineCount;  // constant
  int32_t linesDone;  // 1 + the lines fully revealed so far
};

struct LineDefEntry {
  int32_t x, y;   // top-left corner of the line's picture
  int32_t speed;  // rows revealed per frame
  int32_t delay;  // counted down by 2 a frame (5 when fast) before the line unrolls
};

// LineState.state values.
enum : int32_t {
  kLineNotStarted = 0,
  kLineWaiting = 1,
  kLineUnrolling = 2,
  kLineComplete = 3,
};

struct LineStateEntry {
  int32_t state;
  int32_t x, y, speed, delay;  // from the LineDef; delay counts down
  int32_t height;              // of the line's picture
  int32_t rows;                // rows shown so far
};

// Indexed by page, then by line number from 1. A page's LineState has one
// record past its last line: the waiting mark that the last line's
// completion hands on lands there and is never drawn.
extern StageInfoEntry StageInfo[kStoryOverPage];
extern const LineDefEntry LineDef[kStoryOverPage][kMaxPageLines + 1];
extern LineStateEntry LineState[kStoryOverPage][kMaxPageLines + 2];

// The page's lines back to their definitions, not started; height and rows
// are kept.
void ResetLinesOf(int32_t page);
