#include "vimage_encoder.h"

#include <algorithm>

namespace vimage {

// The file is written in place, its room reserved at once: pictures run to
// megabytes, and a buffer per block or one grown step by step cost more
// than the coding itself.
std::vector<uint8_t> EncodeVImage(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> file;
  const size_t blocks = (image.size() + 31) / 32;
  file.reserve(4 + blocks * 4 + image.size());  // at most: every byte a literal
  const uint32_t size = static_cast<uint32_t>(image.size());
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(size >> (8 * i)));

  uint8_t previous = 0x00;
  for (size_t start = 0; start < image.size(); start += 32) {
    const size_t count = std::min<size_t>(32, image.size() - start);
    const size_t flags = file.size();
    file.insert(file.end(), 4, 0x00);  // a position past the image keeps its flag clear
    for (size_t k = 0; k < count; ++k) {
      const uint8_t coded = image[start + k] ^ previous;
      previous = image[start + k];
      if (coded == 0x00) {
        file[flags + k / 8] |= static_cast<uint8_t>(1u << (k % 8));
      } else {
        file.push_back(coded);
      }
    }
  }
  return file;
}

}  // namespace vimage
