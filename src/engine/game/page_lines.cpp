#include "game/story.h"

#include <windows.h>

#include "game/clicks.h"
#include "game/page_tables.h"
#include "image/drawing.h"
#include "shell/input.h"

namespace {

constexpr int32_t kNormalWaitStep = 2;
constexpr int32_t kFastWaitStep = 5;
constexpr int32_t kFastRows = 5;

// Asked anew for every line that moves: releasing the key or the button
// brings back the normal pace at once.
bool Fast() { return IsKeyDown(VK_SPACE) == 1 || RightClickLatch == 1; }

void CompleteLine(int32_t i, LineStateEntry& line) {
  StageInfoEntry& info = StageInfo[Stage];
  line.state = kLineComplete;
  info.linesDone += 1;
  if (info.linesDone > info.lineCount) PageComplete = 1;
  // The next line starts waiting; after the last line this marks the spare
  // record, which is never drawn.
  LineState[Stage][info.linesDone].state = kLineWaiting;
  DrawImage(i, line.x, line.y);
}

}  // namespace

void DrawStageLines() {
  if (Stage < kFirstPage || Stage > kLastPage) return;
  for (int32_t i = 1; i <= StageInfo[Stage].lineCount; ++i) {
    LineStateEntry& line = LineState[Stage][i];
    switch (line.state) {
      case kLineWaiting:
        line.delay -= Fast() ? kFastWaitStep : kNormalWaitStep;
        if (line.delay <= 0) line.state = kLineUnrolling;
        break;
      case kLineUnrolling:
        line.rows += Fast() ? kFastRows : line.speed;
        if (line.rows < line.height)
          DrawImageTop(i, line.x, line.y, line.rows);
        else
          CompleteLine(i, line);
        break;
      case kLineComplete:
        DrawImage(i, line.x, line.y);
        break;
      default:
        break;  // not started
    }
  }
}
