#include "host/web/page_boxes.h"

#include <algorithm>

namespace kaze::host {

void PageBoxes::ShowAndWait(std::string_view caption, std::string_view text) {
  const std::string captionText(caption), messageText(text);
  std::unique_lock lock(mutex_);
  if (ended_) return;
  const uint32_t ticket = nextTicket_++;
  // Asked under the lock, so that the page gets the boxes in ticket order.
  show_(ticket, captionText, messageText);
  closed_.wait(lock, [&] { return ended_ || closedUpTo_ >= ticket; });
}

void PageBoxes::Closed(uint32_t ticket) {
  {
    std::lock_guard lock(mutex_);
    closedUpTo_ = std::max(closedUpTo_, ticket);
  }
  closed_.notify_all();
}

void PageBoxes::Close() {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  closed_.notify_all();
}

}  // namespace kaze::host
