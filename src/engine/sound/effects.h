// The numbered sound effects that the scenes play, over the SoundBank's
// channels. Effect numbers run from 1 to 8; number 5 has no sound.
#pragma once

#include <cstdint>

constexpr int kLastEffect = 8;

// Indexed by effect number (entry 0 unused): the channel each effect was
// loaded into; 0 before any load, 0xFFFF after a release or a failed load.
extern uint16_t EffectChannels[kLastEffect + 1];
// Indexed by effect number: 1 while the effect was started looping and has
// not been stopped since.
extern int32_t EffectLooping[kLastEffect + 1];
// The player's sound switch: effects start only while it is 1. It starts
// at 3, which counts as off.
extern int32_t SoundEnabled;

// Loads the seven effect files into the bank (when it exists).
void LoadEffects();
// Frees the seven effects' channels and forgets their channel numbers.
void ReleaseEffects();
// Starts an effect from its beginning, once (loop 0) or looping (loop 1).
// Presents one frame first. Does nothing while the switch is off or while
// the effect already loops.
void PlayEffect(int effect, int loop);
void StopEffect(int effect);
// Stops effects 1 to 7; effect 8 is left playing.
void StopAllEffects();
