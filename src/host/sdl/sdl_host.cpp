// Placeholder until the sdl host lands.
#include "host/sdl/sdl_host.h"

namespace kaze::host {

std::unique_ptr<Host> CreateSdlHost(const SdlHostOptions&, std::string& error) {
  error = "this build has no display host yet; use --headless";
  return nullptr;
}

}  // namespace kaze::host
