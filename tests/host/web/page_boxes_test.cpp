#include "host/web/page_boxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace kaze::host {
namespace {

TEST(PageBoxes, AskerWaitsForItsOwnCloseAndTheEndReleasesEveryone) {
  std::mutex mutex;
  std::vector<uint32_t> shown;
  PageBoxes boxes([&](uint32_t ticket, const std::string& caption, const std::string&) {
    std::lock_guard lock(mutex);
    shown.push_back(ticket);
    EXPECT_EQ(caption, "ERROR");
  });
  auto shownCount = [&] {
    std::lock_guard lock(mutex);
    return shown.size();
  };

  std::atomic<int> returned{0};
  std::thread first([&] {
    boxes.ShowAndWait("ERROR", "one");
    returned.fetch_add(1);
  });
  while (shownCount() < 1) std::this_thread::yield();
  std::thread second([&] {
    boxes.ShowAndWait("ERROR", "two");
    returned.fetch_add(1);
  });
  while (shownCount() < 2) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(returned.load(), 0);  // nobody returns before the player closes a box

  boxes.Closed(shown[0]);
  first.join();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(returned.load(), 1);  // the second box still shows

  boxes.Close();  // the program ends with a box open
  second.join();
  boxes.ShowAndWait("ERROR", "after the end");  // returns at once
  EXPECT_EQ(shownCount(), 2u);
}

}  // namespace
}  // namespace kaze::host
