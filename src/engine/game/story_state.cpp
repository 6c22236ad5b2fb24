#include "game/story_state.h"

int32_t Stage = 0;
int32_t StageCommand = kNoStageCommand;
int32_t PageComplete = 0;
int32_t PageAnimCounter = 0;
int32_t QuitConfirmed = 0;
int32_t QuitCountdown = 0;
