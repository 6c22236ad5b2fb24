// Any bytes as a VImage file: the decoder must stay inside its buffers and
// refuse forged sizes, and what it yields goes on to the bitmap decoding the
// loader does. Read from a file through a small window, as far as the
// decoded size can use, the same bytes must give the same image.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "image/vimage_decoder.h"
#include "platform/gdi32/dib.h"

namespace {

// Decodes the blocks of `data` as the loader decodes a file: through a
// window of a few blocks, no further than the decoded size can use.
std::vector<uint8_t> DecodeThroughWindow(const uint8_t* data, size_t size, uint32_t decodedSize) {
  std::vector<uint8_t> bytes(data, data + size);
  std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
  if (file == nullptr) __builtin_trap();
  std::vector<uint8_t> window(kaze::image::kVImageLargestBlock + 29);
  std::vector<uint8_t> image(decodedSize, 0x00);
  kaze::image::VImageSource head(file, window, kaze::image::kVImageSizeBytes);
  if (kaze::image::ReadVImageSize(head) != decodedSize) __builtin_trap();
  kaze::image::VImageSource blocks(file, window, kaze::image::VImageStreamBound(decodedSize));
  kaze::image::DecodeVImageBlocks(blocks, image.data(), image.size());
  if (blocks.FileBytesRead() > kaze::image::VImageStreamBound(decodedSize)) __builtin_trap();
  std::fclose(file);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kaze::image::VImageStreamFacts facts;
  auto image = kaze::image::DecodeVImageBytes(data, size, &facts);
  if (!image) return 0;
  if (image->size() > kaze::image::VImageSizeLimit(size) || facts.written > image->size()) __builtin_trap();
  if (DecodeThroughWindow(data, size, static_cast<uint32_t>(image->size())) != *image) __builtin_trap();
  if (image->size() < 14) return 0;
  const uint8_t* bytes = image->data();
  const uint32_t offset =
      uint32_t{bytes[10]} | uint32_t{bytes[11]} << 8 | uint32_t{bytes[12]} << 16 | uint32_t{bytes[13]} << 24;
  if (offset > image->size()) return 0;
  kaze::platform::DecodeDib(bytes + 14, image->size() - 14, bytes + offset, image->size() - offset,
                            kaze::platform::PixelLayout::Rgb565);
  return 0;
}
