// Message boxes in the page. The thread that asks waits until the player
// has closed its box, as with Windows' MessageBox; the browser's own thread
// only shows the box and reports the close, and never waits.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace kaze::host {

class PageBoxes {
 public:
  // Asks the page to show a box; the page shows boxes one after another in
  // the order asked and reports each close with its ticket.
  using ShowFn = std::function<void(uint32_t ticket, const std::string& caption, const std::string& text)>;

  explicit PageBoxes(ShowFn show) : show_(std::move(show)) {}

  // Any thread but the browser's: shows the box and waits for its close, or
  // for the end of the program.
  void ShowAndWait(std::string_view caption, std::string_view text);

  // The browser's thread: the player closed the box with this ticket.
  void Closed(uint32_t ticket);

  // At the end: releases every waiting thread; later boxes do not wait.
  void Close();

 private:
  const ShowFn show_;
  std::mutex mutex_;
  std::condition_variable closed_;
  uint32_t nextTicket_ = 1;
  uint32_t closedUpTo_ = 0;  // boxes close in the order they were shown
  bool ended_ = false;
};

}  // namespace kaze::host
