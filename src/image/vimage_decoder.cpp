#include "image/vimage_decoder.h"

#include <port_file.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/display_device.h"

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

std::optional<uint32_t> ReadVImageSize(VImageSource& source) {
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) {
    int byte = source.ReadByte();
    if (byte == EOF) return std::nullopt;
    size |= static_cast<uint32_t>(byte) << (8 * i);
  }
  return size;
}

namespace {

// A whole block from memory in one pass: all four flag bytes and every
// literal are there, so the block yields its 32 bytes. False (nothing
// consumed) when the source cannot promise that; the byte-wise decode below
// then handles the block and the end of the stream.
bool DecodeWholeBlockFromMemory(VImageSource& source, VImageDecoder& decoder) {
  const uint8_t* head = source.Peek(kVImageFlagBytes);
  if (head == nullptr) return false;
  const uint32_t flags = uint32_t{head[0]} | uint32_t{head[1]} << 8 | uint32_t{head[2]} << 16 | uint32_t{head[3]} << 24;
  const int literals = kVImageBlockLength - std::popcount(flags);
  const uint8_t* literal = source.Peek(static_cast<size_t>(kVImageFlagBytes + literals));
  if (literal == nullptr) return false;
  literal += kVImageFlagBytes;
  std::memcpy(decoder.flags, head, kVImageFlagBytes);
  uint8_t previous = decoder.previousByte;
  for (int k = 0; k < kVImageBlockLength; ++k) {
    if (((flags >> k) & 1) == 0) previous ^= *literal++;  // a set flag codes 0x00: XOR with it changes nothing
    decoder.block[k] = previous;
  }
  decoder.previousByte = previous;
  decoder.literalCount = literals;
  decoder.produced = kVImageBlockLength;
  source.Skip(static_cast<size_t>(kVImageFlagBytes + literals));
  return true;
}

}  // namespace

int DecodeVImageBlock(VImageSource& source, VImageDecoder& decoder, bool* endedInFlags) {
  if (decoder.blockLength == kVImageBlockLength && decoder.flagByteCount == kVImageFlagBytes &&
      DecodeWholeBlockFromMemory(source, decoder))
    return kVImageBlockLength;
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

VImageStreamFacts DecodeVImageBlocks(VImageSource& source, uint8_t* out, size_t capacity) {
  VImageStreamFacts facts;
  VImageDecoder decoder;
  for (;;) {
    int produced = DecodeVImageBlock(source, decoder, &facts.endedInFlags);
    if (produced > 0) ++facts.blocks;
    uint64_t room = facts.written < capacity ? capacity - facts.written : 0;
    uint64_t copied = std::min<uint64_t>(room, static_cast<uint64_t>(produced));
    if (copied > 0) std::memcpy(out + facts.written, decoder.block, copied);
    facts.written += copied;
    facts.yielded += static_cast<uint64_t>(produced);
    if (produced != decoder.blockLength) return facts;
  }
}

uint64_t VImageSizeLimit(uint64_t fileLength) {
  uint64_t limit = fileLength * kVImageBlockLength + kVImageBlockLength;
  return std::min(limit, kVImageMaxDecodedSize);
}

std::optional<std::vector<uint8_t>> DecodeVImageBytes(const uint8_t* data, size_t size,
                                                      VImageStreamFacts* facts) {
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
int DisplayDevice::DecodeVImage(const char* path) {
  using namespace kaze::image;
  imageFile = PortOpenFile(path, "rb");
  if (imageFile == nullptr) return 0;

  auto closeFile = [this] {
    std::fclose(imageFile);
    imageFile = nullptr;
  };
  const uint64_t fileLength = FileLength(imageFile);
  // The whole file in one read: the decoder then takes its bytes from
  // memory instead of one library call per byte (the same bytes either way;
  // a short read ends the stream where the file ended).
  std::vector<uint8_t> contents(fileLength);
  contents.resize(fileLength == 0 ? 0 : std::fread(contents.data(), 1, contents.size(), imageFile));
  VImageSource source = fileLength == 0 ? VImageSource(imageFile) : VImageSource(contents.data(), contents.size());
  std::optional<uint32_t> decodedSize = ReadVImageSize(source);
  if (!decodedSize) {
    closeFile();
    return 0;
  }

  std::free(imageBuffer);
  imageBuffer = nullptr;
  imageSize = 0;
  // A size no file of this length can honestly hold is refused like an
  // allocation that failed.
  if (*decodedSize <= VImageSizeLimit(fileLength)) {
    imageBuffer = static_cast<uint8_t*>(std::calloc(std::max<uint32_t>(*decodedSize, 1), 1));
  }
  if (imageBuffer == nullptr) {
    closeFile();
    return 0;
  }

  imageSize = *decodedSize;
  DecodeVImageBlocks(source, imageBuffer, imageSize);
  closeFile();
  return 1;
}
