// The information screen after the last page: the bar fades out, then about twenty seconds of one picture that the player cannot skip.
#pragma once

void ShowInfoScreen();
