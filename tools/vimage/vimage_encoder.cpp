#include "vimage_encoder.h"

#include <algorithm>

namespace vimage {

std::vector<uint8_t> EncodeVImage(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> file;
  const uint32_t size = static_cast<uint32_t>(image.size());
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(size >> (8 * i)));

  uint8_t previous = 0x00;
  for (size_t start = 0; start < image.size(); start += 32) {
    const size_t count = std::min<size_t>(32, image.size() - start);
    uint8_t flags[4] = {};  // a position past the image keeps its flag clear
    std::vector<uint8_t> literals;
    for (size_t k = 0; k < count; ++k) {
      const uint8_t coded = image[start + k] ^ previous;
      previous = image[start + k];
      if (coded == 0x00) {
        flags[k / 8] |= static_cast<uint8_t>(1u << (k % 8));
      } else {
        literals.push_back(coded);
      }
    }
    file.insert(file.end(), flags, flags + 4);
    file.insert(file.end(), literals.begin(), literals.end());
  }
  return file;
}

}  // namespace vimage
