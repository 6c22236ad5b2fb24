// Entering a page: its sound, its pictures and its lines, loaded in the frame
// in which the previous page has faded out.
#pragma once

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
