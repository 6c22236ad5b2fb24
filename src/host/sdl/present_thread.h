// The sdl host's present thread: it owns the presenter (the renderer is
// made, used and destroyed there), takes the newest frame the game thread
// published and presents it, on the display's refresh where the driver
// waits for it and else at most once per refresh interval. So the main
// thread's message pump never waits for a refresh; it only asks for
// redraws and screenshots here.
#pragma once

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "host/frame_exchange.h"
#include "host/sdl/diagnostic_logs.h"
#include "host/sdl/presenter.h"
#include "host/sdl/screen_recorder.h"

namespace kaze::host {

class PresentThread {
 public:
  using Clock = std::chrono::steady_clock;

  // The thread is the reader side of `frames` and feeds `recorder` (when
  // open) with every frame it takes.
  PresentThread(FrameExchange& frames, ScreenRecorder& recorder, const DiagnosticLogs& logs)
      : frames_(frames), recorder_(recorder), logs_(logs) {}
  ~PresentThread() { Stop(); }
  PresentThread(const PresentThread&) = delete;
  PresentThread& operator=(const PresentThread&) = delete;

  // Starts the thread, which opens `presenter` on `window`; returns once it
  // has, false with the reason when it could not (the thread has ended).
  bool Start(std::unique_ptr<Presenter> presenter, SDL_Window* window, bool vsync, Clock::duration refresh,
             std::string& error);
  bool Running() const { return thread_.joinable(); }
  // Whether presentations wait for the display's refresh (after Start).
  bool Vsynced() const { return vsynced_; }

  // Any thread: a frame was published.
  void FrameArrived();
  // The frame shown last drawn again (the window changed); `resized` when
  // its size may have changed, which the presenter is told first.
  void Redraw(bool resized = false);
  // F12: the frame shown last saved as a PNG in `folder` (empty: the
  // current one).
  void Screenshot(const std::string& folder);
  // The presenter closed on the thread, then the thread ended.
  void Stop();

 private:
  void Run(SDL_Window* window, bool vsync);
  bool Opened(SDL_Window* window, bool vsync);
  bool FrameDue(Clock::time_point now) const;
  bool HasWork(Clock::time_point now) const;
  void Serve(std::unique_lock<std::mutex>& lock);
  void PresentNewest();
  void Draw(const StoredFrame* frame);

  FrameExchange& frames_;
  ScreenRecorder& recorder_;
  const DiagnosticLogs& logs_;
  std::unique_ptr<Presenter> presenter_;  // used on the thread only
  Clock::duration refresh_{};
  bool vsynced_ = false;  // written before Start returns

  std::mutex mutex_;
  std::condition_variable wake_;
  bool redraw_ = false;
  bool resized_ = false;
  bool screenshot_ = false;
  std::string screenshotFolder_;
  bool stop_ = false;
  int opened_ = 0;  // 1 opened, -1 failed (Start waits for it)
  std::string openError_;
  Clock::time_point nextPresent_{};  // thread: paced presentations wait for it
  std::thread thread_;
};

}  // namespace kaze::host
