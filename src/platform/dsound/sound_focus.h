// How DirectSound learns that the program became active or inactive, as the
// system tells it when the focus moves: buffers made without
// DSBCAPS_GLOBALFOCUS or DSBCAPS_STICKYFOCUS fall silent while another
// program is active and are heard again when this one is, having played on
// meanwhile. The program starts active.
#pragma once

namespace kaze::platform {

// Called as the host's focus reaches the program's window; a change is
// traced as a "sound" record with op "focus".
void SetProgramActive(bool active);

}  // namespace kaze::platform
