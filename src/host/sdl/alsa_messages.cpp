#include "host/sdl/alsa_messages.h"

#ifdef KAZE_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace kaze::host {

#ifdef KAZE_HAVE_ALSA
namespace {
void DropMessage(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

// SDL opens the same libasound with dlopen, so this reaches its use too.
void SilenceAlsaMessages() { snd_lib_error_set_handler(&DropMessage); }
#else
void SilenceAlsaMessages() {}
#endif

}  // namespace kaze::host
