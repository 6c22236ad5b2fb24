// The pixel loops of the dimmed draw, the blended draw and the darkening on
// plain rows, against hand-computed pixels of both display formats and
// against the rules written out here once more; each test runs every form
// of the loops (plain, AVX2, AVX-512) that this build and processor have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "image/pixel_kernels.h"

namespace {

using Row = std::vector<uint16_t>;

// Runs `check` once with each form of the row loops, then goes back to the
// widest.
template <typename Check>
void InEveryForm(Check check) {
  for (PixelLoops loops : {PixelLoops::Plain, PixelLoops::Avx2, PixelLoops::Avx512}) {
    if (!UsePixelLoops(loops)) continue;
    SCOPED_TRACE(static_cast<int>(loops));
    check();
  }
  UsePixelLoops(WidestPixelLoops());
}

// The rules, written independently of the kernels.
uint16_t DimRule(uint16_t s, uint16_t d, uint16_t halfMask) {
  return s == 0 ? d : static_cast<uint16_t>((s >> 1) & halfMask);
}

uint16_t BlendRule(uint16_t s, uint16_t d, const ChannelLayout& layout, float alpha) {
  if (s == 0) return d;
  const float inverse = static_cast<float>(1.0 - alpha);
  uint32_t out = 0;
  for (int32_t shift : {layout.redShift, layout.greenShift, layout.blueShift}) {
    const double mixed =
        ((d >> shift) & 31) * static_cast<double>(inverse) + ((s >> shift) & 31) * static_cast<double>(alpha);
    out |= static_cast<uint32_t>(mixed) << shift;
  }
  return static_cast<uint16_t>(out);
}

uint16_t DarkenRule(uint16_t p, const ChannelLayout& layout, int32_t level) {
  uint32_t out = 0;
  for (int32_t shift : {layout.redShift, layout.greenShift, layout.blueShift})
    out |= static_cast<uint32_t>(std::max<int32_t>(static_cast<int32_t>((p >> shift) & 31) - level, 0)) << shift;
  return static_cast<uint16_t>(out);
}

Row Darkened(Row row, const ChannelLayout& layout, int32_t level) {
  DarkenRow(row.data(), static_cast<int32_t>(row.size()), layout, level);
  return row;
}

TEST(Dim, HalvesEveryChannelAndSkipsBlackSourcePixels) {
  InEveryForm([] {
    Row target{0x1234, 0x1234, 0x1234, 0x1234};
    const Row source{0xFFFF, 0x0000, 0x0001, 0xF800};
    DimRow(target.data(), source.data(), 4, 0x7BCF);
    EXPECT_EQ(target, (Row{0x7BCF, 0x1234, 0x0000, 0x7800}));
  });
}

TEST(Blend, HandComputedPixels) {
  InEveryForm([] {
    const ChannelLayout layout = Layout565();
    // At 1 the source shows, at 0 the target stays; either way green's lowest
    // bit goes, and black source pixels are skipped.
    const Row source{0xFFFF, 0x1234, 0x0000};
    Row target{0x0000, 0xABCD, 0x5555};
    BlendRow(target.data(), source.data(), 3, layout, MakeBlendTable(1.0f));
    EXPECT_EQ(target, (Row{0xFFDF, 0x1234 & 0xFFDF, 0x5555}));
    Row kept{0xFFFF, 0xABCD};
    BlendRow(kept.data(), source.data(), 2, layout, MakeBlendTable(0.0f));
    EXPECT_EQ(kept, (Row{0xFFDF, 0xABCD & 0xFFDF}));

    // Red 31 over blue 31 at one half: both become 15 (15.5 truncated).
    Row blue{0x001F};
    const Row red{0xF800};
    BlendRow(blue.data(), red.data(), 1, layout, MakeBlendTable(0.5f));
    EXPECT_EQ(blue, Row{(15 << 11) | 15});

    // 0.1f + float(1 - 0.1f) is just below 1, so 31 * that truncates to 30:
    // the rule's exact double arithmetic, which the table must keep.
    EXPECT_EQ(BlendChannel(31, 31, 0.1f, static_cast<float>(1.0 - 0.1f)), 30u);
    Row white{0xFFFF};
    BlendRow(white.data(), Row{0xFFFF}.data(), 1, layout, MakeBlendTable(0.1f));
    EXPECT_EQ(white, Row{(30 << 11) | (30 << 6) | 30});
  });
}

// Rows in which every channel meets every pair of channel values.
struct PairRows {
  Row source, target;
  explicit PairRows(const ChannelLayout& layout) {
    auto pixel = [&](uint32_t a, uint32_t b) {
      return static_cast<uint16_t>((a << layout.redShift) | (b << layout.greenShift) | (a << layout.blueShift));
    };
    for (uint32_t k = 0; k < 1024; ++k) {
      source.push_back(pixel(k / 32, k % 32));
      target.push_back(pixel(k % 32, k / 32));
    }
  }
};

Row BlendedByRule(const PairRows& rows, const ChannelLayout& layout, float alpha) {
  Row expected = rows.target;
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = BlendRule(rows.source[i], rows.target[i], layout, alpha);
  return expected;
}

TEST(Blend, EveryPairOfChannelValuesMatchesTheRuleAtEveryWeightOnBothFormats) {
  // The scenes' fades add 0.01 or 0.02 in double to a float that starts at
  // 0.1; every such weight has integer weights (the fast path).
  std::vector<float> fades;
  for (double step : {0.01, 0.02})
    for (float alpha = 0.1f; alpha <= 1.0f; alpha = static_cast<float>(static_cast<double>(alpha) + step))
      fades.push_back(alpha);
  std::vector<float> weights = fades;
  for (int i = 0; i <= 1000; ++i) weights.push_back(static_cast<float>(i) / 1000.0f);
  weights.push_back(1e-6f);
  int tablePath = 0;
  for (const ChannelLayout& layout : {Layout565(), Layout555()}) {
    const PairRows rows(layout);
    for (size_t w = 0; w < weights.size(); ++w) {
      const float alpha = weights[w];
      const BlendTable table = MakeBlendTable(alpha);
      if (w < fades.size()) {
        EXPECT_TRUE(table.hasFixedWeights) << alpha;
      }
      tablePath += table.hasFixedWeights ? 0 : 1;
      const Row expected = BlendedByRule(rows, layout, alpha);
      InEveryForm([&] {
        Row target = rows.target;
        BlendRow(target.data(), rows.source.data(), static_cast<int32_t>(target.size()), layout, table);
        ASSERT_EQ(target, expected) << "alpha " << alpha;
      });
    }
  }
  EXPECT_GT(tablePath, 0);  // the other way of computing was checked too
}

TEST(Blend, WeightsBeyondZeroToOneAreHeldAtTheNearestEndAndNeverCarryIntoANeighbour) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const ChannelLayout& layout : {Layout565(), Layout555()}) {
    const PairRows rows(layout);
    for (auto [alpha, end] : {std::pair{1.0001f, 1.0f},
                              {2.0f, 1.0f},
                              {1e30f, 1.0f},
                              {inf, 1.0f},
                              {-0.0001f, 0.0f},
                              {-2.0f, 0.0f},
                              {-inf, 0.0f},
                              {nan, 0.0f}}) {
      Row target = rows.target;
      BlendRow(target.data(), rows.source.data(), static_cast<int32_t>(target.size()), layout, MakeBlendTable(alpha));
      ASSERT_EQ(target, BlendedByRule(rows, layout, end)) << "alpha " << alpha;
    }
  }
}

TEST(Darken, LevelsZeroOneThirtyOneAndThirtyTwoOnBothFormats) {
  InEveryForm([] {
    const ChannelLayout layout = Layout565();
    const Row white{0xFFFF, 0x0841};  // white, and red 1, green 1, blue 1
    EXPECT_EQ(Darkened(white, layout, 0), (Row{0xFFDF, 0x0841 & 0xFFDF}));
    EXPECT_EQ(Darkened(white, layout, 1), (Row{(30 << 11) | (30 << 6) | 30, 0x0000}));
    EXPECT_EQ(Darkened(white, layout, 31), (Row{0, 0}));
    EXPECT_EQ(Darkened(white, layout, 32), (Row{0, 0}));
    // Out-of-range levels stay within the channels: huge is black, negative is 0.
    EXPECT_EQ(Darkened(white, layout, 100000), (Row{0, 0}));
    EXPECT_EQ(Darkened(white, layout, -3), Darkened(white, layout, 0));

    const ChannelLayout layout555 = Layout555();
    const Row pixels{0x7FFF, 0x1234, 0xFFFF};
    EXPECT_EQ(Darkened(pixels, layout555, 0), (Row{0x7FFF, 0x1234, 0x7FFF}));  // the unused top bit goes
    EXPECT_EQ(Darkened(pixels, layout555, 1),
              (Row{(30 << 10) | (30 << 5) | 30, (3 << 10) | (16 << 5) | 19, (30 << 10) | (30 << 5) | 30}));
    EXPECT_EQ(Darkened(pixels, layout555, 32), (Row{0, 0, 0}));
  });
}

// Pictures cut at random places, as clipping cuts them: rows of any width
// starting at any pixel (so at any alignment), with many black pixels.
// Only the cut rectangle changes, and each of its pixels follows the rule.
TEST(Kernels, RandomCutsOfRandomPicturesFollowTheRulesOnBothFormats) {
  std::mt19937 random(11);
  auto between = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };
  const std::vector<float> weights{0.1f, 0.37f, 0.5f, 0.9900001f, 1.0f, 0.0f, 0.123456f};
  InEveryForm([&] {
    for (int round = 0; round < 300; ++round) {
      const ChannelLayout layout = round % 2 ? Layout565() : Layout555();
      const int32_t width = between(1, 90), height = between(1, 4);
      Row picture(static_cast<size_t>(width * height)), screen(picture.size());
      for (auto& p : picture) p = between(0, 3) == 0 ? 0 : static_cast<uint16_t>(random());
      for (auto& p : screen) p = static_cast<uint16_t>(random());
      const int32_t left = between(0, width - 1), top = between(0, height - 1);
      const int32_t cutWidth = between(0, width - left), cutHeight = between(0, height - top);
      const float alpha = weights[static_cast<size_t>(round) % weights.size()];
      const int32_t level = between(0, 33);
      const BlendTable table = MakeBlendTable(alpha);
      Row dimmed = screen, blended = screen, darkened = screen;
      for (int32_t y = top; y < top + cutHeight; ++y) {
        const size_t at = static_cast<size_t>(y * width + left);
        DimRow(&dimmed[at], &picture[at], cutWidth, layout.halfMask);
        BlendRow(&blended[at], &picture[at], cutWidth, layout, table);
        DarkenRow(&darkened[at], cutWidth, layout, level);
      }
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
          const size_t i = static_cast<size_t>(y * width + x);
          const bool inside = x >= left && x < left + cutWidth && y >= top && y < top + cutHeight;
          const uint16_t s = picture[i], d = screen[i];
          ASSERT_EQ(dimmed[i], inside ? DimRule(s, d, static_cast<uint16_t>(layout.halfMask)) : d) << round;
          ASSERT_EQ(blended[i], inside ? BlendRule(s, d, layout, alpha) : d) << round << " alpha " << alpha;
          ASSERT_EQ(darkened[i], inside ? DarkenRule(d, layout, level) : d) << round << " level " << level;
        }
    }
  });
}

}  // namespace
