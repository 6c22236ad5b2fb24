// The two 16-bit pixel formats of the screen. They belong to the host
// interface (host.h includes this): the platform draws in one of them and
// hands the host its frames in it; a host shows or writes either.
#pragma once

#include <cstdint>

namespace kaze::host {

enum class PixelLayout : uint8_t { Rgb565, Rgb555 };

}  // namespace kaze::host
