// The story's state, shared by the story loop and the control bar. Game
// thread only.
#pragma once

#include <cstdint>

// StageCommand values: the page turn waiting for the fade-out to end.
enum : int32_t {
  kNoStageCommand = 0,
  kNextStage = 1,
  kPreviousStage = 2,
};

extern int32_t Stage;            // the page on screen or being loaded; 8 once the story is over
extern int32_t StageCommand;     // the pending page turn
extern int32_t PageComplete;     // 1 once every line of the page is revealed: next and back are live
extern int32_t PageAnimCounter;  // frames of the animated backgrounds of pages 6 and 7
extern int32_t QuitConfirmed;    // 1 after yes to the quit question
extern int32_t QuitCountdown;    // story frames left before a confirmed quit ends the story
