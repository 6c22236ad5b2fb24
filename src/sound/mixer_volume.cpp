// Placeholder until the mixer volume lands: nothing is read or written.
#include "sound/mixer_volume.h"

uint32_t SavedSynthVolume = 0x77777777;

void SaveSynthVolume() {}
void RestoreSynthVolume() {}
