// The sdl host's clock: the monotonic clock, which GetTickCount's count and
// the diagnostic logs' times are read from.
#pragma once

#include <cstdint>

namespace kaze::host {

uint64_t MonotonicMicros();

}  // namespace kaze::host
