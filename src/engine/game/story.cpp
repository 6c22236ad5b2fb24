#include "game/scenes.h"
#include "game/story.h"

#include "game/clicks.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "game/page_tables.h"
#include "image/drawing.h"
#include "shell/game_thread.h"
#include "shell/input.h"

int32_t Stage = 0;
int32_t StageCommand = kNoStageCommand;
int32_t PageComplete = 0;
int32_t PageAnimCounter = 0;
int32_t QuitConfirmed = 0;
int32_t QuitCountdown = 0;

int RunStory() {
  StartStory();
  LeftClickLatch = 0;
  RightClickLatch = 0;
  for (;;) {
    PaceFrame(20);
    const int32_t hot = HitTestControlBar();
    HandleControlBarClick(hot);
    TrackRightButton();
    StepFade(0, 0, 640, 450);        // page fades leave the bar's strip bright
    if (CheckQuit() == 1) return 1;  // this frame is never shown
    if (ProcessStageCommand() == 1) return 0;
    DrawStagePage(hot);
    DrawStageLines();
    PumpFrame();
  }
}

void StartStory() {
  ClearScreen();
  ReleaseAllImages();
  Stage = kFirstPage;
  StageCommand = kNoStageCommand;
  PageComplete = 0;
  for (int32_t page = kFirstPage; page <= kLastPage; ++page) ResetLinesOf(page);
  HideDialogItems();
  LoadControlBarImages();
  LoadStage();
  FadeInControlBar();  // the page area stays black meanwhile
  FadeState = kFadeInRequested;
  SetCursorVisible(1);
}

int CheckQuit() {
  if (QuitConfirmed != 1) return 0;
  const int32_t left = QuitCountdown;
  QuitCountdown = left - 1;
  return left < 0 ? 1 : 0;
}
