#include "image/vimage_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "display/display_device.h"
#include "port_file.h"

namespace kaze::image {

namespace {

bool FlagIsSet(const VImageDecoder& decoder, int position) {
  return (decoder.flags[position / 8] >> (position % 8)) & 1;
}

int CountClearFlags(const VImageDecoder& decoder) {
  int clear = 0;
  for (int k = 0; k < decoder.blockLength; ++k) clear += FlagIsSet(decoder, k) ? 0 : 1;
  return clear;
}

// Undoes the delta coding of the block's first `count` bytes; the chain runs
// on from the previous block's last byte.
void RestoreBytes(VImageDecoder& decoder, int count) {
  uint8_t previous = decoder.previousByte;
  for (int k = 0; k < count; ++k) {
    decoder.block[k] ^= previous;
    previous = decoder.block[k];
  }
  if (count > 0) decoder.previousByte = previous;
}

// The length of a file, or 0 when it cannot be told; the read position is
// kept.
uint64_t FileLength(std::FILE* file) {
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return end < 0 ? 0 : static_cast<uint64_t>(end);
}

}  // namespace

bool VImageSource::Refill() {
  if (file_ == nullptr || fileBytesRead_ == limit_) return false;
  const size_t kept = size_ - position_;
  std::memmove(window_.data(), data_ + position_, kept);
  data_ = window_.data();
  position_ = 0;
  size_ = kept;
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>(window_.size() - kept, limit_ - fileBytesRead_));
  const size_t got = std::fread(window_.data() + kept, 1, wanted, file_);
  size_ += got;
  fileBytesRead_ += got;
  // The end of the file (or a failed read) ends the stream there.
  if (got < wanted) limit_ = fileBytesRead_;
  return got > 0;
}

std::optional<uint32_t> ReadVImageSize(VImageSource& source) {
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) {
    int byte = source.ReadByte();
    if (byte == EOF) return std::nullopt;
    size |= static_cast<uint32_t>(byte) << (8 * i);
  }
  return size;
}

int DecodeVImageBlock(VImageSource& source, VImageDecoder& decoder, bool* endedInFlags) {
  decoder.produced = 0;
  int flagBytesRead = 0;
  while (flagBytesRead < decoder.flagByteCount) {
    int byte = source.ReadByte();
    if (byte == EOF) break;
    decoder.flags[flagBytesRead++] = static_cast<uint8_t>(byte);
  }
  if (flagBytesRead < decoder.flagByteCount) {
    // No flags, or only some of them: the stream ends here.
    if (endedInFlags != nullptr) *endedInFlags = flagBytesRead > 0;
    return 0;
  }

  decoder.literalCount = CountClearFlags(decoder);
  int literalsRead = 0;
  while (literalsRead < decoder.literalCount) {
    int byte = source.ReadByte();
    if (byte == EOF) break;
    decoder.literals[literalsRead++] = static_cast<uint8_t>(byte);
  }
  decoder.literalCount = literalsRead;

  int nextLiteral = 0;
  int position = 0;
  for (; position < decoder.blockLength; ++position) {
    if (FlagIsSet(decoder, position)) {
      decoder.block[position] = 0x00;
    } else if (nextLiteral < literalsRead) {
      decoder.block[position] = decoder.literals[nextLiteral++];
    } else {
      break;  // the literal is missing: this is the last block
    }
  }
  RestoreBytes(decoder, position);
  decoder.produced = position;
  return position;
}

namespace {

// Undoes the delta coding of 32 bytes in place, the chain running on from
// `previous`; returns the last restored byte. Eight bytes at a time: in a
// little-endian word, XOR with itself shifted by 1, 2 and 4 bytes leaves
// each byte the XOR of every byte up to it.
uint8_t RestoreWholeBlock(uint8_t* block, uint8_t previous) {
  if constexpr (std::endian::native != std::endian::little) {
    for (int k = 0; k < kVImageBlockLength; ++k) previous = block[k] ^= previous;
    return previous;
  } else {
    for (int word = 0; word < kVImageBlockLength / 8; ++word) {
      uint64_t bytes;
      std::memcpy(&bytes, block + word * 8, 8);
      bytes ^= bytes << 8;
      bytes ^= bytes << 16;
      bytes ^= bytes << 32;
      bytes ^= uint64_t{0x0101010101010101} * previous;
      std::memcpy(block + word * 8, &bytes, 8);
      previous = static_cast<uint8_t>(bytes >> 56);
    }
    return previous;
  }
}

// Puts a whole block's literals at the positions of its clear flags and
// 0x00 at its set ones; returns the byte after the last literal taken. Eight
// positions at a time, as busy artwork has few set flags and flat areas few
// clear ones. `literal` must have 32 bytes behind it: a literal is read
// whether or not its position takes it.
const uint8_t* SpreadLiterals(uint32_t flags, const uint8_t* literal, uint8_t* block) {
  for (int group = 0; group < kVImageFlagBytes; ++group) {
    const uint8_t groupFlags = static_cast<uint8_t>(flags >> (8 * group));
    uint8_t* to = block + 8 * group;
    if (groupFlags == 0x00) {
      std::memcpy(to, literal, 8);
      literal += 8;
    } else if (groupFlags == 0xFF) {
      std::memset(to, 0x00, 8);
    } else {
      for (int k = 0; k < 8; ++k) {
        const uint8_t clear = static_cast<uint8_t>(~groupFlags >> k & 1);
        to[k] = static_cast<uint8_t>(*literal & -clear);
        literal += clear;
      }
    }
  }
  return literal;
}

// Whole blocks straight from memory into the output, while the source holds
// the largest block and the output room for 32 bytes: every flag and literal
// is then there, so each block yields its 32 bytes, exactly as
// DecodeVImageBlock would give them. The last few blocks (and any beyond the
// output) are left to it.
void DecodeWholeBlocks(VImageSource& source, VImageDecoder& decoder, uint8_t* out, size_t capacity,
                       VImageStreamFacts& facts) {
  if (decoder.blockLength != kVImageBlockLength || decoder.flagByteCount != kVImageFlagBytes) return;
  const size_t available = source.Available();
  const uint8_t* const in = source.Peek(available);
  if (in == nullptr) return;
  size_t at = 0;
  uint8_t previous = decoder.previousByte;
  while (available - at >= kVImageLargestBlock && capacity - facts.written >= kVImageBlockLength) {
    const uint8_t* flagBytes = in + at;
    const uint32_t flags = uint32_t{flagBytes[0]} | uint32_t{flagBytes[1]} << 8 | uint32_t{flagBytes[2]} << 16 |
                           uint32_t{flagBytes[3]} << 24;
    uint8_t* block = out + facts.written;
    const uint8_t* literal = SpreadLiterals(flags, flagBytes + kVImageFlagBytes, block);
    previous = RestoreWholeBlock(block, previous);
    at += static_cast<size_t>(literal - flagBytes);
    facts.written += kVImageBlockLength;
    facts.yielded += kVImageBlockLength;
    ++facts.blocks;
  }
  decoder.previousByte = previous;
  source.Skip(at);
}

// Block after block through DecodeVImageBlock until one yields less than a
// whole block.
void DecodeRemainingBlocks(VImageSource& source, VImageDecoder& decoder, uint8_t* out, size_t capacity,
                           VImageStreamFacts& facts) {
  for (;;) {
    int produced = DecodeVImageBlock(source, decoder, &facts.endedInFlags);
    if (produced > 0) ++facts.blocks;
    uint64_t room = facts.written < capacity ? capacity - facts.written : 0;
    uint64_t copied = std::min<uint64_t>(room, static_cast<uint64_t>(produced));
    if (copied > 0) std::memcpy(out + facts.written, decoder.block, copied);
    facts.written += copied;
    facts.yielded += static_cast<uint64_t>(produced);
    if (produced != decoder.blockLength) return;
  }
}

}  // namespace

VImageStreamFacts DecodeVImageBlocks(VImageSource& source, uint8_t* out, size_t capacity) {
  VImageStreamFacts facts;
  VImageDecoder decoder;
  // Whole blocks window after window, while the output has room for them.
  do {
    DecodeWholeBlocks(source, decoder, out, capacity, facts);
  } while (capacity - facts.written >= kVImageBlockLength && source.Refill());
  DecodeRemainingBlocks(source, decoder, out, capacity, facts);
  return facts;
}

VImageStreamFacts DecodeVImageBlocksOneByOne(VImageSource& source, uint8_t* out, size_t capacity) {
  VImageStreamFacts facts;
  VImageDecoder decoder;
  DecodeRemainingBlocks(source, decoder, out, capacity, facts);
  return facts;
}

uint64_t VImageStreamBound(uint32_t decodedSize) {
  const uint64_t blocks = (uint64_t{decodedSize} + kVImageBlockLength - 1) / kVImageBlockLength;
  return blocks * kVImageLargestBlock;
}

uint64_t VImageSizeLimit(uint64_t fileLength) {
  uint64_t limit = fileLength * kVImageBlockLength + kVImageBlockLength;
  return std::min(limit, kVImageMaxDecodedSize);
}

std::optional<std::vector<uint8_t>> DecodeVImageBytes(const uint8_t* data, size_t size, VImageStreamFacts* facts) {
  VImageSource source(data, size);
  std::optional<uint32_t> decodedSize = ReadVImageSize(source);
  if (!decodedSize || *decodedSize > VImageSizeLimit(size)) return std::nullopt;
  std::vector<uint8_t> image(*decodedSize, 0x00);
  VImageStreamFacts result = DecodeVImageBlocks(source, image.data(), image.size());
  if (facts != nullptr) *facts = result;
  return image;
}

}  // namespace kaze::image

// Decodes the VImage file at `path` into imageBuffer, which then holds
// imageSize (the decoded size) bytes: what the blocks yielded, zeros after it
// when they yielded fewer, cut at the end when they yielded more. A file too
// short to hold the size fails and leaves the previous buffer as it was.
//
// The file is read a window at a time (the decoder takes its bytes from
// memory, not one library call each) and no further than the blocks that
// can fill the decoded size: whatever a file holds after them, or however
// large it is, costs nothing. The window is all that is kept between loads.
int DisplayDevice::DecodeVImage(const char* path) {
  using namespace kaze::image;
  imageFile = PortOpenFile(path, "rb");
  if (imageFile == nullptr) return 0;

  auto closeFile = [this] {
    std::fclose(imageFile);
    imageFile = nullptr;
  };
  // The window is kept from one load to the next: one allocated and freed
  // at each load, among the decoded images, made the allocator hand pages
  // back and fault them in again (six times the page faults for page 3 of
  // the demo set, twice its time).
  thread_local std::unique_ptr<uint8_t[]> window;
  if (window == nullptr) window.reset(new (std::nothrow) uint8_t[kVImageWindowBytes]);
  if (window == nullptr) {
    closeFile();
    return 0;
  }
  const std::span<uint8_t> windowBytes(window.get(), kVImageWindowBytes);
  VImageSource head(imageFile, windowBytes, kVImageSizeBytes);
  std::optional<uint32_t> decodedSize = ReadVImageSize(head);
  if (!decodedSize) {
    closeFile();
    return 0;
  }

  std::free(imageBuffer);
  imageBuffer = nullptr;
  imageSize = 0;
  // A size no file of this length can honestly hold is refused like an
  // allocation that failed.
  if (*decodedSize <= VImageSizeLimit(FileLength(imageFile))) {
    imageBuffer = static_cast<uint8_t*>(std::malloc(std::max<uint32_t>(*decodedSize, 1)));
  }
  if (imageBuffer == nullptr) {
    closeFile();
    return 0;
  }

  imageSize = *decodedSize;
  VImageSource blocks(imageFile, windowBytes, VImageStreamBound(imageSize));
  // Only what the blocks did not write is cleared, not the whole buffer
  // first.
  const VImageStreamFacts facts = DecodeVImageBlocks(blocks, imageBuffer, imageSize);
  std::memset(imageBuffer + facts.written, 0x00, imageSize - facts.written);
  closeFile();
  return 1;
}
