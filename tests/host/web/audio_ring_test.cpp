#include "host/web/audio_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kaze::host {
namespace {

// A mixer whose output counts up, frame by frame, so that any frame lost,
// repeated or swapped in the ring shows.
class CountingSource : public AudioSource {
 public:
  void Mix(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < frames; ++i, ++next_) {
      stereo[2 * i] = int16_t(next_);
      stereo[2 * i + 1] = int16_t(~next_);
    }
    mixed_.fetch_add(frames);
  }
  uint64_t Mixed() const { return mixed_.load(); }

 private:
  uint32_t next_ = 0;
  std::atomic<uint64_t> mixed_{0};
};

TEST(AudioRing, KeepsFramesInOrderAcrossTheWrapAndNeverOverfills) {
  AudioRing ring(8);
  std::vector<int16_t> in, out(16 * 2);
  uint32_t nextIn = 0, nextOut = 0;
  for (int round = 0; round < 50; ++round) {
    const uint32_t offered = uint32_t(round % 7 + 1) * 2;
    in.clear();
    for (uint32_t i = 0; i < offered; ++i) in.insert(in.end(), {int16_t(nextIn + i), int16_t(-int(nextIn + i))});
    const uint32_t taken = ring.Write(in.data(), offered);
    EXPECT_LE(ring.Fill(), 8u);
    nextIn += taken;
    const uint32_t got = ring.Read(out.data(), uint32_t(round % 5 + 1));
    for (uint32_t i = 0; i < got; ++i, ++nextOut) {
      ASSERT_EQ(out[2 * i], int16_t(nextOut));
      ASSERT_EQ(out[2 * i + 1], int16_t(-int(nextOut)));
    }
  }
  EXPECT_GT(nextOut, 8u * 3);  // the ring wrapped several times
}

TEST(AudioFeeder, MixesUnheardBeforeTheWorkletThenKeepsTheRingAheadInOrder) {
  CountingSource source;
  AudioFeeder feeder;
  ASSERT_TRUE(feeder.Open(&source, 44100));
  AudioRing& ring = feeder.Ring();
  EXPECT_EQ(ring.Header().open.load(), 1u);
  EXPECT_EQ(ring.Header().rate, 44100u);

  // No worklet yet: the mixer advances with the clock, and nothing queues
  // up to be heard late.
  while (source.Mixed() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(ring.Fill(), 0u);

  // The worklet starts: the ring fills ahead and what comes out is the
  // mixer's output from where it then was, without a gap.
  ring.Header().started.store(1);
  const uint32_t ahead = 44100 * AudioFeeder::kAheadMs / 1000;
  while (ring.Fill() < ahead) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::vector<int16_t> out(size_t(ahead) * 2);
  ASSERT_EQ(ring.Read(out.data(), ahead), ahead);
  for (uint32_t i = 1; i < ahead; ++i) ASSERT_EQ(int16_t(out[2 * i] - out[2 * i - 2]), 1) << "frame " << i;
  while (ring.Fill() < ahead) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_LE(ring.Fill(), AudioFeeder::kCapacityFrames);

  feeder.Close();
  EXPECT_EQ(ring.Header().open.load(), 0u);
  const uint64_t mixed = source.Mixed();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(source.Mixed(), mixed);  // closed means the mixer is no longer called
}

}  // namespace
}  // namespace kaze::host
