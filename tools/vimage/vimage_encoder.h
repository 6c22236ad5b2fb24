// The writing side of VImage (the program itself only decodes): each byte is
// XORed with the one before it, and the coded bytes are packed in blocks of
// 32 positions, 4 flag bytes (a set flag for a coded 0x00) and then the
// nonzero bytes as literals.
#pragma once

#include <cstdint>
#include <vector>

namespace vimage {

// The VImage file of `image`. When the image's length is a multiple of 32
// the file ends after its last full block; otherwise the last block is
// short, its first unused position's flag clear and no literal after.
std::vector<uint8_t> EncodeVImage(const std::vector<uint8_t>& image);

}  // namespace vimage
