// The intro: the taiken pictures fading and blending over their effects; only its final pause ends early on a click.
#pragma once

void PlayIntroSequence();
