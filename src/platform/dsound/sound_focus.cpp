#include "platform/dsound/sound_focus.h"

#include "host/host.h"
#include "platform/dsound/audio_mixer.h"

namespace kaze::platform {

void SetProgramActive(bool active) {
  if (TheAudioMixer().SetProgramActive(active)) host::TheHost().Trace("sound", {{"op", "focus"}, {"heard", active}});
}

}  // namespace kaze::platform
