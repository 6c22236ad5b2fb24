// The story's state, shared by the story loop and the control bar, and the
// steps of one story frame: turning, loading and drawing the page and its
// lines. The story itself, RunStory, is with the other scenes
// (game/scenes.h). Game thread only.
#pragma once

#include <cstdint>

// StageCommand values: the page turn waiting for the fade-out to end.
enum : int32_t {
  kNoStageCommand = 0,
  kNextStage = 1,
  kPreviousStage = 2,
};

// Stage holds the number of the page on screen or being loaded; 8 once the
// story is over.
extern int32_t Stage;
extern int32_t StageCommand;     // the pending page turn
extern int32_t PageComplete;     // 1 once every line of the page is revealed: next and back are live
extern int32_t PageAnimCounter;  // frames of the animated backgrounds of pages 6 and 7
extern int32_t QuitConfirmed;    // 1 after yes to the quit question
extern int32_t QuitCountdown;    // story frames left before a confirmed quit ends the story

// Page 1 loaded, the bar faded in, the page's fade-in requested, the pointer shown.
void StartStory();

// 1 once a confirmed quit has counted down: the story must end.
int CheckQuit();

// Entering a page (page_loading.cpp): its sound, its pictures and its lines,
// loaded in the frame in which the previous page has faded out.

// Carries out a pending page turn once the page has faded out (FadeState 5):
// 1 when the turn went past the last page and the story is over, else 0.
int ProcessStageCommand();

// The current page's sound on entering, its page pictures and its lines.
void LoadStage();

// The current page's line pictures into slots 1 to lineCount; line 1 starts
// waiting.
void LoadStageLines();

// The current page's lines back to their definitions, not started.
void ResetStageLines();

// One frame of the page (page_drawing.cpp): its picture (with the overlay of
// page 3, the blinking overlay of page 6 or the zoom of page 7), then the
// control bar. hot: the control-bar button under the pointer (0 for none).
void DrawStagePage(int32_t hot);

// One frame of the current page's vertical text lines (page_lines.cpp),
// unrolling from the top one after another: waits count down, unrolling
// lines grow, and every started line is drawn. Space bar or right button
// held: fast.
void DrawStageLines();
