// Any bytes as a VImage file: the decoder must stay inside its buffers and
// refuse forged sizes, and what it yields goes on to the bitmap decoding the
// loader does.
#include <cstddef>
#include <cstdint>

#include "image/vimage_decoder.h"
#include "platform/gdi32/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kaze::image::VImageStreamFacts facts;
  auto image = kaze::image::DecodeVImageBytes(data, size, &facts);
  if (!image) return 0;
  if (image->size() > kaze::image::VImageSizeLimit(size) || facts.written > image->size()) __builtin_trap();
  if (image->size() < 14) return 0;
  const uint8_t* bytes = image->data();
  const uint32_t offset = uint32_t{bytes[10]} | uint32_t{bytes[11]} << 8 | uint32_t{bytes[12]} << 16 |
                          uint32_t{bytes[13]} << 24;
  if (offset > image->size()) return 0;
  kaze::platform::DecodeDib(bytes + 14, image->size() - 14, bytes + offset, image->size() - offset,
                            kaze::platform::PixelLayout::Rgb565);
  return 0;
}
