#include "host/host.h"

#include <cassert>

namespace kaze::host {

namespace {
Host* gHost = nullptr;
}

Host& TheHost() {
  assert(gHost != nullptr && "no host installed");
  return *gHost;
}

void SetHost(Host* host) { gHost = host; }

}  // namespace kaze::host
