// PaceFrame and PumpFrame on the virtual clock.
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include "shell/game_thread.h"
#include "shell/shared_flags.h"
#include "support/headless_fixture.h"

namespace kaze::test {
namespace {

class FramePacing : public HeadlessTest {};

TEST_F(FramePacing, WaitsOutTheRestOfTheFrameAndNeverMakesUpForASlowOne) {
  StartHost();
  Sleep(1000);
  EXPECT_EQ(PaceFrame(20), 1000u);  // the first call: LastFrameTick is 0, long ago
  Sleep(5);
  EXPECT_EQ(PaceFrame(20), 1020u);  // 5 ms later: sleeps the 15 left
  Sleep(30);
  EXPECT_EQ(PaceFrame(20), 1050u);  // 30 ms later: no sleep, nothing made up
  EXPECT_EQ(LastFrameTick, 1050u);
  Sleep(20);
  EXPECT_EQ(PaceFrame(20), 1070u);  // exactly a frame later: no sleep
}

TEST_F(FramePacing, WaitsTheSameAcrossTheWrapOfTheTickCount) {
  host::HeadlessOptions options;
  options.startTick = 0xFFFFFFF0u;
  StartHost(options);
  LastFrameTick = 0xFFFFFFF0u;
  Sleep(5);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF5u);
  EXPECT_EQ(PaceFrame(20), 0x00000004u);  // slept 15 ms across the wrap
  Sleep(5);
  EXPECT_EQ(PaceFrame(20), 0x00000018u);
  EXPECT_EQ(host().Now(), 40u);
}

TEST_F(FramePacing, TheStartWaitHoldsTheScenarioUntilActiveWithADisplay) {
  StartHost();
  ASSERT_NE(_beginthread(GameThreadMain, 0, nullptr), static_cast<uintptr_t>(-1));
  Sleep(100);
  EXPECT_EQ(GameThreadDone.load(), 0);  // still waiting: no display, not active
  AppActive.store(1);
  Sleep(100);
  EXPECT_EQ(GameThreadDone.load(), 0);  // active, but no display yet
  QuitRequested.store(1);
  Sleep(2);
  EXPECT_EQ(GameThreadDone.load(), 1);  // the quit ends the wait
  EXPECT_EQ(host().Flips(), 0);
}

}  // namespace
}  // namespace kaze::test
