#include "game/story.h"

#include <windows.h>

#include <cstdio>

#include "display/display_device.h"
#include "game/fade.h"
#include "game/page_tables.h"
#include "game/scene_pictures.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"

namespace {

// Every page picture is opaque: blit flags 0, no key colour.
void LoadPagePicture(int32_t slot, const char* name) {
  if (DisplayDevice* display = TheDisplay.load()) display->LoadImageSlot(slot, name, 0, -1);
}

void Release(int32_t slot) {
  if (DisplayDevice* display = TheDisplay.load()) display->ReleaseSlot(slot);
}

void StartPageSound() {
  switch (Stage) {
    case 1:
    case 3:
      StopEffect(kPageLoopEffect);
      break;
    case 2:
      PlayEffect(kPageLoopEffect, 1);
      break;
    case 6:
      StopEffect(kZoomLoopEffect);
      break;
    default:
      break;
  }
}

void LoadAnimation() {
  static const char* const kFrames[] = {"anime\\st006a1.v", "anime\\st006a2.v", "anime\\st006a3.v"};
  PageAnimCounter = 0;
  for (int32_t slot = kOverlaySlot; slot < kOverlaySlot + 3; ++slot) Release(slot);
  for (int32_t i = 0; i < 3; ++i) LoadPagePicture(kOverlaySlot + i, kFrames[i]);
}

void LoadBackground() {
  Release(kBackgroundSlot);
  if (Stage == 3) {
    LoadPagePicture(kBackgroundSlot, "main\\st0030.v");
    Release(kOverlaySlot);
    LoadPagePicture(kOverlaySlot, "main\\st0030m.v");
    return;
  }
  char name[32];
  std::snprintf(name, sizeof name, "main\\st0%02d0.v", static_cast<int>(Stage));
  LoadPagePicture(kBackgroundSlot, name);
}

}  // namespace

int ProcessStageCommand() {
  if (FadeState != kFadedOut) return 0;  // no turn waits, or the fade-out still runs
  if (StageCommand == kNextStage) {
    StageCommand = kNoStageCommand;
    Stage += 1;
    if (Stage == kSkippedPage) Stage += 1;
    if (Stage == kStoryOverPage) return 1;  // nothing to load: the story is over
  } else if (StageCommand == kPreviousStage) {
    StageCommand = kNoStageCommand;
    Stage -= 1;
    if (Stage == kSkippedPage) Stage -= 1;
  } else {
    return 0;
  }
  ResetStageLines();
  LoadStage();
  FadeState = kFadeInRequested;
  return 0;
}

void LoadStage() {
  StartPageSound();
  if (Stage == 6) LoadAnimation();
  if (Stage == 7) PageAnimCounter = 0;
  LoadBackground();
  LoadStageLines();
}

void LoadStageLines() {
  if (Stage < kFirstPage || Stage > kLastPage) return;
  const int32_t lineCount = StageInfo[Stage].lineCount;
  for (int32_t i = 1; i <= lineCount; ++i) {
    Release(i);
    char name[32];
    std::snprintf(name, sizeof name, "main\\st0%02d%01d.v", static_cast<int>(Stage), static_cast<int>(i));
    LoadPagePicture(i, name);
    LineStateEntry& line = LineState[Stage][i];
    // A picture that failed to load keeps the height it had: a line of
    // height 0 completes at once, so the page still completes.
    RECT rect;
    if (GetSlotRect(i, &rect) == 1) line.height = rect.bottom;
    line.state = kLineNotStarted;
    line.rows = 1;
  }
  StageInfo[Stage].linesDone = 1;
  LineState[Stage][1].state = kLineWaiting;
}

void ResetStageLines() { ResetLinesOf(Stage); }
