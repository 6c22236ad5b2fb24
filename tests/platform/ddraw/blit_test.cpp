// The fast blitter against the one-pixel-at-a-time reference, and the
// reference's own nearest-pixel rule. The pictures the scenes rely on (page
// zoom, colour keys, cut edges) are checked through the drawing calls in
// drawing_test.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/ddraw/blit.h"
#include "platform/ddraw/blit_reference.h"
#include "platform/ddraw/keyed_copy.h"

namespace kaze::platform {
namespace {

struct Buffer {
  std::vector<uint16_t> memory;
  PixelSurface surface;

  Buffer(int32_t width, int32_t height, int32_t padding = 0) : memory(static_cast<size_t>((width + padding) * height)) {
    surface = PixelSurface{memory.data(), width, height, static_cast<int32_t>((width + padding) * 2)};
  }
  uint16_t& At(int32_t x, int32_t y) { return surface.Row(y)[x]; }
};

// Every pixel tells where it came from: (x, y) -> y * 1000 + x.
Buffer NumberedPicture(int32_t width, int32_t height) {
  Buffer picture(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) picture.At(x, y) = static_cast<uint16_t>(y * 1000 + x);
  return picture;
}

TEST(Blit, FastBlitterMatchesTheReferenceOnRandomCases) {
  std::mt19937 random(1234);
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 3000; ++round) {
    const int32_t srcW = between(1, 40), srcH = between(1, 40);
    Buffer src(srcW, srcH, between(0, 3));
    for (int32_t y = 0; y < srcH; ++y)
      for (int32_t x = 0; x < srcW; ++x) src.At(x, y) = static_cast<uint16_t>(between(0, 3));  // many key hits
    const int32_t dstW = between(1, 50), dstH = between(1, 50);
    Buffer fast(dstW, dstH, between(0, 3));
    for (auto& p : fast.memory) p = static_cast<uint16_t>(between(100, 200));
    Buffer slow = fast;
    slow.surface.pixels = slow.memory.data();

    const LONG sl = between(0, srcW - 1), st = between(0, srcH - 1);
    const RECT srcRect{sl, st, between(sl + 1, srcW), between(st + 1, srcH)};
    const LONG dl = between(-60, 60), dt = between(-60, 60);
    // Often an exact multiple of the source size, to reach the magnifier.
    const LONG width = round % 3 == 0 ? (srcRect.right - srcRect.left) * between(1, 5) : between(1, 120);
    const LONG height = round % 3 == 0 ? (srcRect.bottom - srcRect.top) * between(1, 5) : between(1, 120);
    const RECT dstRect{dl, dt, dl + width, dt + height};
    const LONG cl = between(0, dstW - 1), ct = between(0, dstH - 1);
    const RECT clip{cl, ct, between(cl, dstW), between(ct, dstH)};
    const uint16_t key = static_cast<uint16_t>(between(0, 3));
    const uint16_t* keyOrNone = round % 2 ? &key : nullptr;

    StretchBlit(fast.surface, dstRect, clip, src.surface, srcRect, keyOrNone);
    reference::StretchBlit(slow.surface, dstRect, clip, src.surface, srcRect, keyOrNone);
    ASSERT_EQ(fast.memory, slow.memory) << "round " << round;

    const uint16_t colour = static_cast<uint16_t>(between(0, 0xFFFF));
    FillRect(fast.surface, dstRect, clip, colour);
    reference::FillRect(slow.surface, dstRect, clip, colour);
    ASSERT_EQ(fast.memory, slow.memory) << "fill, round " << round;
  }
}

// Every form of the keyed row copy, on rows of any length and alignment
// with long keyed runs, long drawn runs and mixed stretches.
TEST(Blit, EveryFormOfTheKeyedRowCopyWritesExactlyTheUnkeyedPixels) {
  using Copy = void (*)(uint16_t*, const uint16_t*, int64_t, uint16_t);
  std::vector<Copy> forms{CopyKeyed, CopyKeyedPlain};
#if defined(__x86_64__)
  if (WidestVectors() >= VectorWidth::Avx2) forms.push_back(CopyKeyedAvx2);
  if (WidestVectors() >= VectorWidth::Avx512) forms.push_back(CopyKeyedAvx512);
#endif
  std::mt19937 random(99);
  for (int round = 0; round < 400; ++round) {
    const size_t count = random() % 100, start = random() % 9;
    const uint16_t key = static_cast<uint16_t>(random());
    std::vector<uint16_t> from(start + count), target(start + count + 3);
    const uint32_t runs = 1 + random() % 40;
    for (size_t i = 0; i < from.size(); ++i)
      from[i] = (i / runs) % 2 || random() % 4 == 0 ? key : static_cast<uint16_t>(random());
    for (auto& p : target) p = static_cast<uint16_t>(random());
    std::vector<uint16_t> expected = target;
    for (size_t i = 0; i < count; ++i)
      if (from[start + i] != key) expected[start + i] = from[start + i];
    for (Copy copy : forms) {
      std::vector<uint16_t> to = target;
      copy(to.data() + start, from.data() + start, static_cast<int64_t>(count), key);
      ASSERT_EQ(to, expected) << "round " << round;
    }
  }
}

TEST(Blit, WholeRowCopiesMatchTheReference) {
  // Rows that run back to back on both sides take the single-copy path.
  const Buffer picture = NumberedPicture(30, 20);
  for (const RECT clip : {RECT{0, 0, 30, 20}, RECT{0, 5, 30, 12}, RECT{1, 0, 30, 20}}) {
    for (const LONG top : {0, -3, 4}) {
      Buffer fast(30, 20), slow(30, 20);
      const RECT place{0, top, 30, top + 20};
      StretchBlit(fast.surface, place, clip, picture.surface, RECT{0, 0, 30, 20}, nullptr);
      reference::StretchBlit(slow.surface, place, clip, picture.surface, RECT{0, 0, 30, 20}, nullptr);
      ASSERT_EQ(fast.memory, slow.memory) << clip.top << " " << clip.left << " " << top;
    }
  }
}

TEST(Blit, StretchAndShrinkPickTheNearestPixelFromTheLeftAndTop) {
  const Buffer picture = NumberedPicture(4, 4);
  Buffer wide(6, 2);
  StretchBlit(wide.surface, RECT{0, 0, 6, 2}, RECT{0, 0, 6, 2}, picture.surface, RECT{0, 0, 4, 4}, nullptr);
  // Column d shows source column d * 4 / 6; row d shows row d * 4 / 2.
  EXPECT_EQ(wide.memory, (std::vector<uint16_t>{0, 0, 1, 2, 2, 3, 2000, 2000, 2001, 2002, 2002, 2003}));
}

TEST(Blit, BlitWithinOneSurfaceReadsTheSourceAsItWasBefore) {
  Buffer strip = NumberedPicture(8, 1);
  StretchBlit(strip.surface, RECT{2, 0, 8, 1}, RECT{0, 0, 8, 1}, strip.surface, RECT{0, 0, 6, 1}, nullptr);
  EXPECT_EQ(strip.memory, (std::vector<uint16_t>{0, 1, 0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace kaze::platform
