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
#include <span>
#include <vector>

namespace kaze::image {

constexpr int kVImageBlockLength = 32;
constexpr int kVImageFlagBytes = 4;

// The 4 bytes of the decoded size at the start of a file.
constexpr size_t kVImageSizeBytes = 4;
// The most bytes one block can take: its flags and a literal for each
// position.
constexpr size_t kVImageLargestBlock = kVImageFlagBytes + kVImageBlockLength;
// Bytes of a file read at a time when decoding from a file.
constexpr size_t kVImageWindowBytes = size_t{64} << 10;

// The bytes of a stream: memory, or a file read a window at a time. Either
// way the decoder sees the unread bytes of a span of memory, which for a
// file is refilled as it is used up.
class VImageSource {
 public:
  VImageSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // The file from where it stands, through `window` (at least
  // kVImageLargestBlock bytes, overwritten), never more than `limit` bytes
  // of it in all.
  VImageSource(std::FILE* file, std::span<uint8_t> window, uint64_t limit)
      : file_(file), window_(window), data_(window.data()), limit_(limit) {}

  // The next byte (0 to 255), or EOF at the end.
  int ReadByte() {
    if (position_ == size_ && !Refill()) return EOF;
    return data_[position_++];
  }

  // The next `count` bytes when they are all in memory, without consuming
  // them; null otherwise.
  const uint8_t* Peek(size_t count) const { return size_ - position_ >= count ? data_ + position_ : nullptr; }
  void Skip(size_t count) { position_ += count; }
  // Bytes in memory not yet consumed.
  size_t Available() const { return size_ - position_; }

  // Keeps the unconsumed bytes and reads more of the file after them; false
  // when nothing more came (memory, the end of the file, or the limit).
  bool Refill();
  // Bytes taken from the file so far.
  uint64_t FileBytesRead() const { return fileBytesRead_; }

 private:
  std::FILE* file_ = nullptr;
  std::span<uint8_t> window_;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  uint64_t limit_ = 0;
  uint64_t fileBytesRead_ = 0;
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
  uint64_t yielded = 0;       // bytes the blocks yielded, written or not
  uint64_t written = 0;       // of those, bytes that fitted the output
  uint32_t blocks = 0;        // blocks that yielded at least one byte
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
// what a long or short stream means. Whole blocks in memory are decoded
// straight into `out` in one pass; the rest goes block by block through
// DecodeVImageBlock. Both give the same bytes and facts.
VImageStreamFacts DecodeVImageBlocks(VImageSource& source, uint8_t* out, size_t capacity);

// The same, every block through DecodeVImageBlock: the plain reference that
// the fast decode is checked against.
VImageStreamFacts DecodeVImageBlocksOneByOne(VImageSource& source, uint8_t* out, size_t capacity);

// The most bytes of blocks that yielding `decodedSize` bytes can take: a
// block for every 32 of them, each at its largest (4 flag bytes and 32
// literals). The blocks after those cannot change the decoded buffer, so a
// file is read no further.
uint64_t VImageStreamBound(uint32_t decodedSize);

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
