// The synthesizer line's volume, read at start and put back at the end.
#pragma once

#include <cstdint>

extern uint32_t SavedSynthVolume;

void SaveSynthVolume();
void RestoreSynthVolume();
