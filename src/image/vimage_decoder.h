// VImage, the program's compressed picture format: a BMP file image, delta
// coded (each byte XOR the byte before it) and packed in blocks of 32
// positions, each block being 4 flag bytes (a set flag: the coded byte is
// 0x00 and not stored) followed by the literals of its clear flags.
//
//   offset 0: decoded size, unsigned 32-bit little-endian
//   offset 4: blocks up to the end of the file
//
// The decoding core below works on any byte source (a FILE* or memory) so
// that the display device, the vimage tool and the fuzz target share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace kaze::image {

constexpr int kVImageBlockLength = 32;
constexpr int kVImageFlagBytes = 4;

// A stream of bytes read one at a time: a buffered FILE* or a span of memory.
class VImageSource {
 public:
  explicit VImageSource(std::FILE* file) : file_(file) {}
  VImageSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The next byte (0 to 255), or EOF at the end.
  int ReadByte() {
    if (file_ != nullptr) return std::getc(file_);
    return position_ < size_ ? data_[position_++] : EOF;
  }

  // The next `count` bytes when the source is memory and holds them all,
  // without consuming them; null otherwise.
  const uint8_t* Peek(size_t count) const {
    return file_ == nullptr && size_ - position_ >= count ? data_ + position_ : nullptr;
  }
  void Skip(size_t count) { position_ += count; }
  // Bytes left when the source is memory; 0 for a file.
  size_t Available() const { return file_ == nullptr ? size_ - position_ : 0; }

 private:
  std::FILE* file_ = nullptr;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
};

// The state of one decode.
struct VImageDecoder {
  uint8_t previousByte = 0x00;  // last restored byte of the previous block
  int32_t blockLength = kVImageBlockLength;
  int32_t produced = 0;      // bytes the current block yielded (0 to 32)
  int32_t literalCount = 0;  // clear flags, then the literals actually read
  int32_t flagByteCount = kVImageFlagBytes;
  uint8_t block[kVImageBlockLength] = {};
  uint8_t literals[kVImageBlockLength] = {};
  uint8_t flags[kVImageFlagBytes] = {};
};

// What the blocks of one stream held.
struct VImageStreamFacts {
  uint64_t yielded = 0;          // bytes the blocks yielded, written or not
  uint64_t written = 0;          // of those, bytes that fitted the output
  uint32_t blocks = 0;           // blocks that yielded at least one byte
  bool endedInFlags = false;  // the file ended after 1 to 3 flag bytes
};

// Reads the 4-byte decoded size; nothing when the stream ends before it.
std::optional<uint32_t> ReadVImageSize(VImageSource& source);

// Decodes one block from the source into decoder.block and returns the bytes
// it yielded (0 to 32). A block whose flag bytes are cut short by the end of
// the stream yields nothing: its missing flags are never guessed.
int DecodeVImageBlock(VImageSource& source, VImageDecoder& decoder, bool* endedInFlags);

// Decodes every block after the size into out[0, capacity). Bytes beyond the
// capacity are counted in `yielded` but never written; the caller decides
// what a long or short stream means. From memory, whole blocks are decoded
// straight into `out` in one pass; the rest goes block by block through
// DecodeVImageBlock. Both give the same bytes and facts.
VImageStreamFacts DecodeVImageBlocks(VImageSource& source, uint8_t* out, size_t capacity);

// The same, every block through DecodeVImageBlock: the plain reference that
// the fast decode is checked against.
VImageStreamFacts DecodeVImageBlocksOneByOne(VImageSource& source, uint8_t* out, size_t capacity);

// The largest decoded size that a file of `fileLength` bytes is allowed to
// claim. A block of 4 flag bytes yields at most 32 bytes, so no honest file
// claims more than 8 times its length; the bound leaves room for that and
// caps the allocation besides, so a forged size cannot ask for gigabytes.
constexpr uint64_t kVImageMaxDecodedSize = uint64_t{64} << 20;
uint64_t VImageSizeLimit(uint64_t fileLength);

// Decodes a whole VImage held in memory: the decoded-size buffer, with the
// bytes the blocks did not yield set to zero. Nothing when the size cannot
// be read or is beyond VImageSizeLimit.
std::optional<std::vector<uint8_t>> DecodeVImageBytes(const uint8_t* data, size_t size,
                                                      VImageStreamFacts* facts = nullptr);

}  // namespace kaze::image
