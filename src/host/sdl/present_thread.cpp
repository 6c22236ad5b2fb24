#include "host/sdl/present_thread.h"

#include <utility>

#include "host/sdl/screenshot.h"
#include "host/sdl/x11_window_loss.h"

namespace kaze::host {

bool PresentThread::Start(std::unique_ptr<Presenter> presenter, SDL_Window* window, bool vsync, Clock::duration refresh,
                          std::string& error) {
  if (Running()) return true;
  presenter_ = std::move(presenter);
  refresh_ = refresh;
  stop_ = false;
  opened_ = 0;
  thread_ = std::thread([this, window, vsync] { Run(window, vsync); });
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return opened_ != 0; });
  if (opened_ > 0) return true;
  error = openError_;
  lock.unlock();
  thread_.join();
  presenter_.reset();
  return false;
}

void PresentThread::FrameArrived() {
  std::lock_guard lock(mutex_);
  wake_.notify_all();
}

void PresentThread::Redraw(bool resized) {
  std::lock_guard lock(mutex_);
  redraw_ = true;
  resized_ = resized_ || resized;
  wake_.notify_all();
}

void PresentThread::Screenshot(const std::string& folder) {
  std::lock_guard lock(mutex_);
  screenshot_ = true;
  screenshotFolder_ = folder;
  wake_.notify_all();
}

void PresentThread::Stop() {
  if (!Running()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    wake_.notify_all();
  }
  thread_.join();
  presenter_.reset();
}

// The thread's first job; Start waits for its outcome.
bool PresentThread::Opened(SDL_Window* window, bool vsync) {
  std::string error;
  const bool opened = presenter_->Open(window, vsync, error);
  std::lock_guard lock(mutex_);
  // SDL's software renderer may say it waits for the refresh though not
  // asked to: --no-vsync paces its presentations all the same.
  vsynced_ = opened && vsync && presenter_->Vsynced();
  opened_ = opened ? 1 : -1;
  openError_ = error;
  wake_.notify_all();
  return opened;
}

void PresentThread::Run(SDL_Window* window, bool vsync) {
  if (!Opened(window, vsync)) return;
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const Clock::time_point now = Clock::now();
    if (HasWork(now)) {
      Serve(lock);
      continue;
    }
    // A frame held back for the refresh wakes the thread when it is due.
    const Clock::time_point until = frames_.HasNew() ? nextPresent_ : now + std::chrono::seconds(1);
    wake_.wait_until(lock, until);
  }
  lock.unlock();
  presenter_->Close();
}

// Without vsync a frame that comes within a refresh interval of the one
// before waits, and the newest one wins; with it the presentation itself
// waits for the refresh.
bool PresentThread::FrameDue(Clock::time_point now) const { return frames_.HasNew() && now >= nextPresent_; }

bool PresentThread::HasWork(Clock::time_point now) const { return redraw_ || screenshot_ || FrameDue(now); }

// The requests are taken under the lock and carried out without it, so
// that asking never waits for a presentation.
void PresentThread::Serve(std::unique_lock<std::mutex>& lock) {
  const bool redraw = std::exchange(redraw_, false);
  const bool screenshot = std::exchange(screenshot_, false);
  const bool resized = std::exchange(resized_, false);
  const std::string folder = screenshot ? screenshotFolder_ : std::string();
  lock.unlock();
  if (resized) presenter_->WindowResized();
  if (screenshot) {
    if (const StoredFrame* frame = frames_.Current()) SaveScreenshot(*frame, folder);
  }
  if (FrameDue(Clock::now())) {
    PresentNewest();
  } else if (redraw) {
    Draw(frames_.Current());
  }
  lock.lock();
}

void PresentThread::PresentNewest() {
  const Clock::time_point now = Clock::now();
  if (recorder_.IsOpen()) recorder_.CatchUp(now);
  if (!vsynced_) nextPresent_ = now + refresh_;
  const StoredFrame* frame = frames_.TakeNewest();
  recorder_.Shown(frame);
  const uint64_t taken = logs_.PresentBegins();
  Draw(frame);
  logs_.PresentEnded(taken);
}

// Never on a window the X server destroyed: the server is asked first,
// since its destruction event may still wait for the main thread's pump.
void PresentThread::Draw(const StoredFrame* frame) {
  if (WindowWasLost() || WindowGoneOnServer()) return;
  presenter_->Draw(frame);
}

}  // namespace kaze::host
