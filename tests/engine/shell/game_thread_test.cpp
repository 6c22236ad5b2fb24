// The game thread: PaceFrame and PumpFrame on the virtual clock, the wait
// before the scenario starts, and its end on real threads, where the main
// thread may tear down the display only once every object of the scenario
// is gone.
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "display/display_device.h"
#include "host/null_host.h"
#include "shell/game_thread.h"
#include "shell/main_window.h"
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

// Real threads on the machine's clock, nothing else.
class RealThreadHost final : public host::NullHost {
 public:
  ~RealThreadHost() override {
    for (std::thread& thread : threads_) thread.join();
  }
  uint32_t TickCount() override {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
  }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  bool StartThread(std::function<void()> body) override {
    threads_.emplace_back(std::move(body));
    return true;
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::vector<std::thread> threads_;
};

std::atomic<bool> gUnwound{false};
std::atomic<bool> gDisplayKeptWhileUnwinding{false};
std::atomic<int> gFramesAfterQuit{0};

// A scene's object whose destructor still uses the display, slowly.
struct SlowToUnwind {
  ~SlowToUnwind() {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    gDisplayKeptWhileUnwinding = TheDisplay.load() != nullptr;
    gUnwound = true;
  }
};

void SlowScene() {
  SlowToUnwind object;
  for (;;) {
    const bool quitSeen = QuitRequested.load() != 0;
    PumpFrame();
    if (quitSeen) ++gFramesAfterQuit;
  }
}

void SlowSceneThread(void*) { RunGameThread(SlowScene); }

TEST(GameThreadEnd, ShutdownReleasesTheDisplayOnlyAfterTheScenesStackIsUnwound) {
  ResetProgramState();
  {
    RealThreadHost host;
    host::SetHost(&host);
    TheDisplay.store(new DisplayDevice());
    AppActive.store(1);
    ASSERT_NE(_beginthread(SlowSceneThread, 0, nullptr), static_cast<uintptr_t>(-1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Shutdown();
    EXPECT_TRUE(gUnwound.load()) << "Shutdown went on before the scene's objects were gone";
    EXPECT_TRUE(gDisplayKeptWhileUnwinding.load());
    EXPECT_EQ(gFramesAfterQuit.load(), 0) << "scene code ran after the quit was seen";
    EXPECT_EQ(TheDisplay.load(), nullptr);
  }  // joins the game thread
  host::SetHost(nullptr);
  ResetProgramState();
}

}  // namespace
}  // namespace kaze::test
