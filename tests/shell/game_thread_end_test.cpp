// The game thread's end on real threads: the main thread may tear down the
// display only once every object of the scenario is gone.
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
