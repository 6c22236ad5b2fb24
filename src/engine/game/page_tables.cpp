#include "game/page_tables.h"

StageInfoEntry StageInfo[kStoryOverPage] = {
    {0, 0},  // no page 0
    {3, 1}, {5, 1}, {3, 1}, {0, 1}, {2, 1}, {2, 1}, {5, 1},
};

const LineDefEntry LineDef[kStoryOverPage][kMaxPageLines + 1] = {
    {},
    {{}, {581, 32, 2, 100}, {544, 32, 2, 100}, {520, 32, 2, 100}},
    {{}, {163, 32, 2, 100}, {133, 32, 2, 100}, {103, 31, 2, 100}, {74, 32, 2, 100}, {45, 32, 2, 50}},
    {{}, {577, 32, 2, 50}, {550, 32, 2, 50}, {519, 32, 2, 50}},
    {},  // page 4: never shown
    {{}, {580, 32, 2, 50}, {551, 32, 2, 50}},
    {{}, {71, 32, 2, 50}, {45, 32, 2, 50}},
    {{}, {584, 203, 2, 200}, {554, 203, 2, 50}, {523, 203, 2, 50}, {462, 203, 2, 50}, {432, 203, 2, 50}},
};

LineStateEntry LineState[kStoryOverPage][kMaxPageLines + 2] = {};

void ResetLinesOf(int32_t page) {
  if (page < kFirstPage || page > kLastPage) return;
  for (int32_t i = 1; i <= StageInfo[page].lineCount; ++i) {
    const LineDefEntry& def = LineDef[page][i];
    LineStateEntry& line = LineState[page][i];
    line.state = kLineNotStarted;
    line.x = def.x;
    line.y = def.y;
    line.speed = def.speed;
    line.delay = def.delay;
  }
}
