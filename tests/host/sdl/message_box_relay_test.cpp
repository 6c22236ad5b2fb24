#ifdef KAZE_HAVE_SDL
#include "host/sdl/message_box_relay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace kaze::host {
namespace {

void WaitUntilQueued(const MessageBoxRelay& relay) {
  while (!relay.HasWaiting()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(MessageBoxRelay, GameThreadWakesTheMainThreadAndWaitsUntilItHasShownItsBox) {
  std::atomic<int> wakes{0};
  MessageBoxRelay relay([&] { wakes.fetch_add(1); });
  std::atomic<bool> returned{false};
  std::thread game([&] {
    relay.ShowAndWait("ERROR", "picture missing");
    returned = true;
  });
  WaitUntilQueued(relay);
  EXPECT_FALSE(returned.load());
  while (wakes.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  std::vector<std::string> shown;
  relay.Serve([&](std::string_view caption, std::string_view text) {
    EXPECT_FALSE(returned.load()) << "the caller must wait while the box is open";
    shown.push_back(std::string(caption) + "|" + std::string(text));
  });
  game.join();
  EXPECT_TRUE(returned.load());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "ERROR|picture missing");
  EXPECT_FALSE(relay.HasWaiting());
}

TEST(MessageBoxRelay, ClosingReleasesAWaitingThreadAndLaterBoxesReturnAtOnce) {
  MessageBoxRelay relay;
  std::thread game([&] { relay.ShowAndWait("ERROR", "never shown"); });
  WaitUntilQueued(relay);
  relay.Close();
  game.join();  // would hang if Close left it waiting

  relay.ShowAndWait("ERROR", "after the end");  // returns at once
  bool shown = false;
  relay.Serve([&](std::string_view, std::string_view) { shown = true; });
  EXPECT_FALSE(shown);
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
