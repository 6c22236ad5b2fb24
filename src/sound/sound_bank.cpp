// Placeholder until the sound subsystem lands: no DirectSound, so the
// program runs silently.
#include "sound/sound_bank.h"

SoundBank* TheSoundBank = nullptr;

SoundBank::SoundBank() = default;
SoundBank::~SoundBank() = default;

int CreateSoundBank(HWND) { return 0; }
