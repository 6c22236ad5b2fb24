// The VImage decoding core: the byte examples of the format, block chaining,
// and what happens to short, long, cut and forged streams.
#include "image/vimage_decoder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "vimage_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using kaze::image::DecodeVImageBytes;
using kaze::image::VImageSource;
using kaze::image::VImageStreamFacts;

Bytes Decode(const Bytes& file, VImageStreamFacts* facts = nullptr) {
  auto image = DecodeVImageBytes(file.data(), file.size(), facts);
  EXPECT_TRUE(image.has_value());
  return image.value_or(Bytes{});
}

TEST(VImageDecoding, ClearFlagsTakeLiteralsAndSetFlagsRepeatThePreviousByte) {
  EXPECT_EQ(Decode({0x03, 0, 0, 0, 0x00, 0x00, 0x00, 0x00, 0x61, 0x03, 0x01}), (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(Decode({0x04, 0, 0, 0, 0x06, 0x00, 0x00, 0x00, 0x10, 0x30}), (Bytes{0x10, 0x10, 0x10, 0x20}));
}

TEST(VImageDecoding, BlockOfAllSetFlagsYieldsThirtyTwoCopiesAndGoesOn) {
  // 32 zeros, then a block whose first position is a literal 0x41 and whose
  // next position finds no literal.
  Bytes file = {40, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x41};
  VImageStreamFacts facts;
  Bytes image = Decode(file, &facts);
  Bytes expected(32, 0x00);
  expected.push_back(0x41);
  expected.resize(40, 0x00);  // not yielded: zero
  EXPECT_EQ(image, expected);
  EXPECT_EQ(facts.yielded, 33u);
  EXPECT_EQ(facts.blocks, 2u);
}

TEST(VImageDecoding, TrailingEmptyBlockAfterFullBlocksChangesNothing) {
  Bytes image(64);
  std::iota(image.begin(), image.end(), uint8_t{7});
  image[32] = image[31];  // the second block starts with a set flag
  Bytes file = vimage::EncodeVImage(image);
  ASSERT_EQ(file.size(), 4u + 2 * 4 + 63);
  EXPECT_EQ(file[4 + 4 + 32], 0x01) << "the second block's first flag is set";
  Bytes withEnd = file;
  withEnd.insert(withEnd.end(), {0x00, 0x00, 0x00, 0x00});
  VImageStreamFacts facts, factsWithEnd;
  EXPECT_EQ(Decode(file, &facts), image);
  EXPECT_EQ(Decode(withEnd, &factsWithEnd), image);
  EXPECT_EQ(facts.yielded, 64u);
  EXPECT_EQ(factsWithEnd.yielded, 64u);
}

TEST(VImageDecoding, EncoderRoundTripsAnyLength) {
  for (size_t length : {0u, 1u, 31u, 32u, 33u, 95u, 1000u}) {
    Bytes image(length);
    for (size_t i = 0; i < length; ++i) image[i] = static_cast<uint8_t>((i * 37 / 5) ^ (i % 3 ? 0 : 0xA5));
    VImageStreamFacts facts;
    EXPECT_EQ(Decode(vimage::EncodeVImage(image), &facts), image) << length;
    EXPECT_EQ(facts.yielded, length);
    EXPECT_FALSE(facts.endedInFlags);
  }
}

TEST(VImageDecoding, ShortStreamLeavesZerosNotOldMemory) {
  Bytes file = vimage::EncodeVImage(Bytes(100, 0x5A));
  file[0] = 200;  // claims more than the blocks hold
  VImageStreamFacts facts;
  Bytes image = Decode(file, &facts);
  ASSERT_EQ(image.size(), 200u);
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 100), Bytes(100, 0x5A));
  EXPECT_EQ(Bytes(image.begin() + 100, image.end()), Bytes(100, 0x00));
  EXPECT_EQ(facts.yielded, 100u);
}

TEST(VImageDecoding, LongStreamIsCutAtTheDecodedSize) {
  Bytes original(100);
  std::iota(original.begin(), original.end(), uint8_t{1});
  Bytes file = vimage::EncodeVImage(original);
  file[0] = 10;
  VImageStreamFacts facts;
  Bytes image = Decode(file, &facts);
  EXPECT_EQ(image, Bytes(original.begin(), original.begin() + 10));
  EXPECT_EQ(facts.yielded, 100u);
  EXPECT_EQ(facts.written, 10u);
}

TEST(VImageDecoding, FlagBytesCutByTheEndOfFileEndTheStream) {
  // One full block of 0x11, then one, two or three flag bytes of a block that
  // would yield 32 more copies if its missing flags were taken from the
  // block before.
  Bytes full = vimage::EncodeVImage(Bytes(32, 0x11));
  for (int cut = 1; cut <= 3; ++cut) {
    Bytes file = full;
    file[0] = 64;
    file.insert(file.end(), cut, 0xFF);
    VImageStreamFacts facts;
    Bytes image = Decode(file, &facts);
    Bytes expected(32, 0x11);
    expected.resize(64, 0x00);
    EXPECT_EQ(image, expected) << cut;
    EXPECT_TRUE(facts.endedInFlags);
    EXPECT_EQ(facts.yielded, 32u);
  }
}

TEST(VImageDecoding, SizeThatCannotBeReadOrIsForgedIsRefused) {
  for (Bytes file : {Bytes{}, Bytes{0x01}, Bytes{0x01, 0x00, 0x00}}) {
    EXPECT_FALSE(DecodeVImageBytes(file.data(), file.size()).has_value()) << file.size();
  }
  Bytes forged = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(DecodeVImageBytes(forged.data(), forged.size()).has_value());
  // Within the bound: 32 bytes per file byte and one block more.
  Bytes tiny = {0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};  // claims 256 bytes from an 8-byte file
  EXPECT_TRUE(DecodeVImageBytes(tiny.data(), tiny.size()).has_value());
  EXPECT_EQ(kaze::image::VImageSizeLimit(8), 8u * 32 + 32);
  EXPECT_EQ(kaze::image::VImageSizeLimit(uint64_t{1} << 40), kaze::image::kVImageMaxDecodedSize);
}

// A file in memory, read the way the loader reads files.
struct MemoryFile {
  explicit MemoryFile(Bytes bytes) : bytes(std::move(bytes)) {
    file = fmemopen(this->bytes.data(), this->bytes.size(), "rb");
  }
  ~MemoryFile() { std::fclose(file); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  Bytes bytes;
  std::FILE* file;
};

// Whole blocks from memory take a one-pass decode; block by block through
// DecodeVImageBlock is the reference. Random streams of runs of clear, set
// and mixed flags (whole, cut anywhere, or plain noise) into outputs shorter
// and longer than they yield must give the same bytes, leave the same bytes
// untouched and report the same facts; so must the one-pass decode of the
// stream read from a file through a window of a few blocks, which the
// blocks straddle, up to a limit anywhere.
TEST(VImageDecoding, WholeBlockDecodeFromMemoryOrThroughAWindowMatchesTheBlockByBlockReference) {
  std::mt19937 random(20261207);
  auto byte = [&] { return static_cast<uint8_t>(random()); };
  for (int round = 0; round < 400; ++round) {
    Bytes stream;
    const bool noise = round % 4 == 3;
    const int blocks = static_cast<int>(random() % 40);
    for (int b = 0; b < blocks; ++b) {
      for (int group = 0; group < 4; ++group) {
        const uint32_t kind = random() % 4;
        stream.push_back(noise ? byte() : kind == 0 ? 0x00 : kind == 1 ? 0xFF : byte());
      }
      const size_t flagsAt = stream.size() - 4;
      int literals = 0;
      for (size_t i = flagsAt; i < flagsAt + 4; ++i) literals += 8 - std::popcount(stream[i]);
      for (int i = 0; i < literals; ++i) stream.push_back(byte());
    }
    if (random() % 2 == 0) stream.resize(stream.size() * (random() % 100) / 100);  // cut short anywhere
    const size_t capacity = random() % 2 == 0 ? random() % (blocks * 32 + 40) : blocks * 32 + 64;
    const size_t limit = random() % 2 == 0 ? random() % (stream.size() + 1) : stream.size() + 10;

    VImageSource fast(stream.data(), stream.size());
    VImageSource reference(stream.data(), stream.size());
    Bytes fastOut(capacity, 0xA5), referenceOut(capacity, 0xA5);
    VImageStreamFacts fastFacts = kaze::image::DecodeVImageBlocks(fast, fastOut.data(), capacity);
    VImageStreamFacts referenceFacts =
        kaze::image::DecodeVImageBlocksOneByOne(reference, referenceOut.data(), capacity);
    ASSERT_EQ(fastOut, referenceOut) << round;
    EXPECT_EQ(fastFacts.yielded, referenceFacts.yielded) << round;
    EXPECT_EQ(fastFacts.written, referenceFacts.written) << round;
    EXPECT_EQ(fastFacts.blocks, referenceFacts.blocks) << round;
    EXPECT_EQ(fastFacts.endedInFlags, referenceFacts.endedInFlags) << round;

    const Bytes limited(stream.begin(), stream.begin() + std::min(limit, stream.size()));
    VImageSource limitedReference(limited.data(), limited.size());
    Bytes limitedOut(capacity, 0xA5), windowOut(capacity, 0xA5);
    referenceFacts = kaze::image::DecodeVImageBlocksOneByOne(limitedReference, limitedOut.data(), capacity);
    MemoryFile file(stream);
    Bytes window(kaze::image::kVImageLargestBlock + random() % 100);
    VImageSource windowed(file.file, window, limit);
    VImageStreamFacts windowFacts = kaze::image::DecodeVImageBlocks(windowed, windowOut.data(), capacity);
    ASSERT_EQ(windowOut, limitedOut) << round;
    EXPECT_EQ(windowFacts.yielded, referenceFacts.yielded) << round;
    EXPECT_EQ(windowFacts.written, referenceFacts.written) << round;
    EXPECT_EQ(windowed.FileBytesRead(), limited.size()) << round;
  }
}

// Blocks after those that can fill the decoded size change nothing in it:
// a file is read no further, whatever follows (here a megabyte of blocks
// that would each yield 32 bytes).
TEST(VImageDecoding, AFileIsReadNoFurtherThanTheBlocksThatCanFillItsDecodedSize) {
  Bytes image(100000);
  std::mt19937 random(7);
  for (uint8_t& b : image) b = static_cast<uint8_t>(random() % 3 == 0 ? random() : 0x40);
  for (const uint32_t decodedSize : {uint32_t{0}, uint32_t{33}, uint32_t{100000}}) {
    Bytes bytes = vimage::EncodeVImage(image);
    std::memcpy(bytes.data(), &decodedSize, 4);
    bytes.resize(bytes.size() + (1 << 20), 0xFF);
    MemoryFile file(bytes);
    Bytes window(kaze::image::kVImageWindowBytes);
    VImageSource head(file.file, window, kaze::image::kVImageSizeBytes);
    ASSERT_EQ(kaze::image::ReadVImageSize(head), decodedSize);
    VImageSource blocks(file.file, window, kaze::image::VImageStreamBound(decodedSize));
    Bytes out(decodedSize);
    const VImageStreamFacts facts = kaze::image::DecodeVImageBlocks(blocks, out.data(), out.size());
    EXPECT_EQ(facts.written, decodedSize);
    EXPECT_EQ(out, Bytes(image.begin(), image.begin() + decodedSize));
    EXPECT_LE(blocks.FileBytesRead(), (decodedSize + 31) / 32 * 36) << decodedSize;
    EXPECT_LE(std::ftell(file.file), long{4} + (decodedSize + 31) / 32 * 36) << decodedSize;
  }
}

}  // namespace
