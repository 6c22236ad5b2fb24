// ALSA's library writes its own errors to stderr: without a sound card, eight
// lines about cards and PCM names come before the program's one line that
// it plays silently. The program says itself what it could not do, so the
// library's lines are dropped.
#pragma once

namespace kaze::host {

// Before the first use of ALSA, by SDL or by the mixer; for the whole process.
void SilenceAlsaMessages();

}  // namespace kaze::host
