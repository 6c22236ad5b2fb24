// Threads taking turns on the virtual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "host/headless/turn_scheduler.h"

namespace kaze::host {
namespace {

TEST(TurnScheduler, TheClockMovesOnlyToTheEarliestWakeUpAndTurnsGoInOneOrder) {
  std::vector<std::pair<uint64_t, uint64_t>> advances;
  std::vector<std::string> log;
  TurnScheduler scheduler([&](uint64_t from, uint64_t to) { advances.emplace_back(from, to); });
  ASSERT_TRUE(scheduler.Start([&] {
    log.push_back("b0@" + std::to_string(scheduler.Now()));
    scheduler.Sleep(7);
    log.push_back("b1@" + std::to_string(scheduler.Now()));
    scheduler.Sleep(0);
    log.push_back("b2@" + std::to_string(scheduler.Now()));
  }));
  log.push_back("a0@" + std::to_string(scheduler.Now()));  // starting does not pass the turn
  scheduler.Sleep(10);
  log.push_back("a1@" + std::to_string(scheduler.Now()));
  EXPECT_TRUE(scheduler.JoinAll());
  EXPECT_EQ(log, (std::vector<std::string>{"a0@0", "b0@0", "b1@7", "b2@7", "a1@10"}));
  EXPECT_EQ(advances, (std::vector<std::pair<uint64_t, uint64_t>>{{0, 7}, {7, 10}}));
}

TEST(TurnScheduler, EqualWakeUpsRunInTheOrderTheThreadsWentToSleep) {
  std::vector<int> order;
  TurnScheduler scheduler([](uint64_t, uint64_t) {});
  for (int id = 1; id <= 3; ++id) {
    scheduler.Start([&, id] {
      scheduler.Sleep(static_cast<uint32_t>(10 - id));  // the last started wakes first
      order.push_back(id);
    });
  }
  scheduler.Sleep(20);
  EXPECT_TRUE(scheduler.JoinAll());
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));

  order.clear();
  TurnScheduler same([](uint64_t, uint64_t) {});
  for (int id = 1; id <= 3; ++id) {
    same.Start([&, id] {
      same.Sleep(5);
      order.push_back(id);
    });
  }
  same.Sleep(20);
  EXPECT_TRUE(same.JoinAll());
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

// The turn goes back and forth thousands of times, caught while the waiter
// watches or after it fell asleep (some turns are made long): never two
// threads at once, none lost, each seeing what the other wrote in its turn.
TEST(TurnScheduler, PassingBackAndForthLosesNoTurnAndShowsEachTurnsWrites) {
  TurnScheduler scheduler([](uint64_t, uint64_t) {});
  std::vector<int> log;  // plain memory: the turns alone keep it whole
  constexpr int kTurns = 3000;
  ASSERT_TRUE(scheduler.Start([&] {
    for (int i = 0; i < kTurns; ++i) {
      log.push_back(2 * i + 1);
      if (i % 100 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));  // a long turn
      scheduler.Sleep(1);
    }
  }));
  for (int i = 0; i < kTurns; ++i) {
    log.push_back(2 * i);
    scheduler.Sleep(1);
  }
  scheduler.Sleep(1);
  EXPECT_TRUE(scheduler.JoinAll());
  ASSERT_EQ(log.size(), size_t{2 * kTurns});
  for (int i = 0; i < 2 * kTurns; ++i) ASSERT_EQ(log[size_t(i)], i) << "turn " << i;
  EXPECT_EQ(scheduler.Now(), uint64_t{kTurns + 1});
}

}  // namespace
}  // namespace kaze::host
