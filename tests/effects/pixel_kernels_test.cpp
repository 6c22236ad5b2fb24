// The pixel loops of the dimmed draw, the blended draw and the darkening on
// plain rows, against hand-computed pixels of both display formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "image/pixel_kernels.h"

namespace {

using Row = std::vector<uint16_t>;

Row Darkened(Row row, const ChannelLayout& layout, int32_t level) {
  DarkenRow(row.data(), static_cast<int32_t>(row.size()), layout, level);
  return row;
}

TEST(Dim, HalvesEveryChannelAndSkipsBlackSourcePixelsOnRowsOfAnyLength) {
  Row target{0x1234, 0x1234, 0x1234, 0x1234};
  const Row source{0xFFFF, 0x0000, 0x0001, 0xF800};
  DimRow(target.data(), source.data(), 4, 0x7BCF);
  EXPECT_EQ(target, (Row{0x7BCF, 0x1234, 0x0000, 0x7800}));

  std::mt19937 random(7);
  for (int32_t count : {1, 15, 16, 17, 40, 640}) {
    Row source(count), target(count);
    for (auto& p : source) p = random() % 3 == 0 ? 0 : static_cast<uint16_t>(random());
    for (auto& p : target) p = static_cast<uint16_t>(random());
    Row expected = target;
    for (int32_t i = 0; i < count; ++i)
      if (source[i] != 0) expected[i] = static_cast<uint16_t>((source[i] >> 1) & 0x7BCF);
    DimRow(target.data(), source.data(), count, 0x7BCF);
    EXPECT_EQ(target, expected) << count;
  }
}

TEST(Blend, HandComputedPixels) {
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
}

// Rows in which red and green each meet every pair of channel values.
struct PairRows {
  Row source, target;
  explicit PairRows(const ChannelLayout& layout) {
    for (uint32_t k = 0; k < 1024; ++k) {
      const uint32_t a = k / 32, b = k % 32, c = (k * 7) % 32;
      source.push_back(static_cast<uint16_t>((a << layout.redShift) | (b << layout.greenShift) | (c << layout.blueShift)));
      target.push_back(static_cast<uint16_t>((b << layout.redShift) | (a << layout.greenShift) | (c << layout.blueShift)));
    }
  }
};

Row BlendedByRule(const PairRows& rows, const ChannelLayout& layout, float alpha) {
  const float inverse = static_cast<float>(1.0 - alpha);
  Row expected = rows.target;
  for (size_t i = 0; i < expected.size(); ++i) {
    const uint16_t s = rows.source[i], d = rows.target[i];
    if (s == 0) continue;
    auto channel = [&](int32_t shift) { return BlendChannel((s >> shift) & 31, (d >> shift) & 31, alpha, inverse) << shift; };
    expected[i] = static_cast<uint16_t>(channel(layout.redShift) | channel(layout.greenShift) | channel(layout.blueShift));
  }
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
      Row target = rows.target;
      BlendRow(target.data(), rows.source.data(), static_cast<int32_t>(target.size()), layout, table);
      ASSERT_EQ(target, BlendedByRule(rows, layout, alpha)) << "alpha " << alpha;
    }
  }
  EXPECT_GT(tablePath, 0);  // the other way of computing was checked too
}

TEST(Blend, WeightsBeyondZeroToOneAreHeldAtTheNearestEndAndNeverCarryIntoANeighbour) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const ChannelLayout& layout : {Layout565(), Layout555()}) {
    const PairRows rows(layout);
    for (auto [alpha, end] : {std::pair{1.0001f, 1.0f}, {2.0f, 1.0f}, {1e30f, 1.0f}, {inf, 1.0f},
                              {-0.0001f, 0.0f}, {-2.0f, 0.0f}, {-inf, 0.0f}, {nan, 0.0f}}) {
      Row target = rows.target;
      BlendRow(target.data(), rows.source.data(), static_cast<int32_t>(target.size()), layout, MakeBlendTable(alpha));
      ASSERT_EQ(target, BlendedByRule(rows, layout, end)) << "alpha " << alpha;
    }
  }
}

TEST(Darken, LevelsZeroOneThirtyOneAndThirtyTwoOnBothFormats) {
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
}

TEST(Darken, EveryPixelOfALongRowLosesTheLevelInEachChannel) {
  const ChannelLayout layout = Layout565();
  Row row(643);
  for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint16_t>(i * 101);
  const Row darkened = Darkened(row, layout, 5);
  for (size_t i = 0; i < row.size(); ++i) {
    auto channel = [&](uint16_t p, int32_t shift) { return (p >> shift) & 31; };
    for (int32_t shift : {11, 6, 0}) {
      const int32_t before = channel(row[i], shift);
      ASSERT_EQ(channel(darkened[i], shift), before > 5 ? before - 5 : 0) << i;
    }
  }
}

}  // namespace
