#ifdef KAZE_HAVE_SDL
#include "host/frame_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace kaze::host {
namespace {

// A frame whose every pixel holds the same value, with padding at the end of
// each row that must not be copied.
struct UniformFrame {
  static constexpr int32_t kPitch = (kScreenWidth + 16) * 2;
  std::vector<uint16_t> memory = std::vector<uint16_t>(size_t(kPitch / 2) * kScreenHeight, 0xDEAD);

  Frame Fill(uint16_t value, PixelLayout layout = PixelLayout::Rgb565) {
    for (int32_t y = 0; y < kScreenHeight; ++y) {
      std::fill_n(&memory[size_t(y) * (kPitch / 2)], kScreenWidth, value);
    }
    return Frame{memory.data(), kPitch, layout};
  }
};

bool IsUniform(const StoredFrame& frame, uint16_t& value) {
  value = frame.pixels[0];
  return std::all_of(frame.pixels.begin(), frame.pixels.end(), [&](uint16_t p) { return p == value; });
}

TEST(FrameExchange, ReaderGetsOnlyTheNewestFrameOnceWithItsLayout) {
  FrameExchange exchange;
  UniformFrame source;
  EXPECT_EQ(exchange.TakeNewest(), nullptr);
  EXPECT_EQ(exchange.Current(), nullptr);

  exchange.Publish(source.Fill(1));
  exchange.Publish(source.Fill(2, PixelLayout::Rgb555));
  const StoredFrame* taken = exchange.TakeNewest();
  ASSERT_NE(taken, nullptr);
  uint16_t value = 0;
  EXPECT_TRUE(IsUniform(*taken, value));
  EXPECT_EQ(value, 2);
  EXPECT_EQ(taken->layout, PixelLayout::Rgb555);
  EXPECT_EQ(exchange.TakeNewest(), nullptr);  // nothing new since
  EXPECT_EQ(exchange.Current(), taken);
}

TEST(FrameExchange, AStillPictureIsPresentedOnceButALayoutChangeCounts) {
  FrameExchange exchange;
  UniformFrame source;
  EXPECT_TRUE(exchange.Publish(source.Fill(7)));
  ASSERT_NE(exchange.TakeNewest(), nullptr);
  EXPECT_FALSE(exchange.Publish(source.Fill(7)));
  EXPECT_EQ(exchange.TakeNewest(), nullptr);

  source.Fill(7);
  source.memory[size_t(kScreenHeight - 1) * (UniformFrame::kPitch / 2) + kScreenWidth - 1] = 8;  // last pixel
  EXPECT_TRUE(exchange.Publish(Frame{source.memory.data(), UniformFrame::kPitch, PixelLayout::Rgb565}));
  EXPECT_TRUE(exchange.Publish(Frame{source.memory.data(), UniformFrame::kPitch, PixelLayout::Rgb555}));
  const StoredFrame* taken = exchange.TakeNewest();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->layout, PixelLayout::Rgb555);
  EXPECT_EQ(taken->pixels.back(), 8);
}

// The writer compares with the buffer it published last, wherever that
// buffer is now: in the middle, untaken, or being shown.
TEST(FrameExchange, EachFrameIsComparedWithTheOnePublishedLastWhereverItIs) {
  FrameExchange exchange;
  UniformFrame source;
  for (uint16_t n = 1; n <= 5; ++n) EXPECT_TRUE(exchange.Publish(source.Fill(n)));  // none taken
  EXPECT_FALSE(exchange.Publish(source.Fill(5)));
  EXPECT_TRUE(exchange.Publish(source.Fill(4)));  // equal to an older one only
  const StoredFrame* taken = exchange.TakeNewest();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->pixels.front(), 4);
  EXPECT_FALSE(exchange.Publish(source.Fill(4)));  // the one being shown
  EXPECT_TRUE(exchange.Publish(source.Fill(6)));
  EXPECT_EQ(taken->pixels.front(), 4);  // the shown frame is left as it was
  EXPECT_FALSE(exchange.Publish(source.Fill(6)));
  ASSERT_NE(exchange.TakeNewest(), nullptr);
  EXPECT_EQ(exchange.Current()->pixels.back(), 6);
}

TEST(FrameExchange, FramesPublishedOnAnotherThreadAreNeverSeenHalfWritten) {
  FrameExchange exchange;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    UniformFrame source;
    for (uint16_t n = 1; n <= 400; ++n) exchange.Publish(source.Fill(n));
    done = true;
  });
  uint16_t last = 0;
  int seen = 0;
  while (true) {
    const bool finished = done.load();
    if (const StoredFrame* frame = exchange.TakeNewest()) {
      uint16_t value = 0;
      ASSERT_TRUE(IsUniform(*frame, value)) << "torn frame after " << last;
      ASSERT_GT(value, last) << "frames must only move forward";
      last = value;
      ++seen;
    } else if (finished) {
      break;
    }
  }
  writer.join();
  EXPECT_EQ(last, 400);  // the newest is always delivered in the end
  EXPECT_GE(seen, 1);
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
