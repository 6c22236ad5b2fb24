// The sdl host's present thread with a presenter that blocks until the test
// lets it go: the main thread's message pump goes on meanwhile, and only
// the present thread ever calls into the presenter. SDL's dummy video
// driver gives the window; no display is needed.
#ifdef KAZE_HAVE_SDL
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "host/sdl/presenter.h"
#include "host/sdl/sdl_host.h"

namespace kaze::host {
namespace {

// What the presenter saw, shared with the test.
struct PresenterLog {
  std::mutex mutex;
  std::condition_variable changed;
  std::set<std::thread::id> threads;  // every call's thread
  int draws = 0;                      // finished draws
  bool inFrameDraw = false;           // a frame's draw is held
  bool released = false;              // the test let the held draw go
  bool closed = false;

  // Waits for a state; the bound only ends a test that fails.
  bool WaitFor(const std::function<bool()>& state) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(60), state);
  }
  void Note(const std::function<void()>& change) {
    std::lock_guard lock(mutex);
    threads.insert(std::this_thread::get_id());
    change();
    changed.notify_all();
  }
};

// Draws nothing; the first frame's draw waits until the test releases it.
class BlockingPresenter final : public Presenter {
 public:
  explicit BlockingPresenter(std::shared_ptr<PresenterLog> log) : log_(std::move(log)) {}
  bool Open(SDL_Window*, bool, std::string&) override {
    log_->Note([] {});
    return true;
  }
  bool Vsynced() const override {
    log_->Note([] {});
    return true;
  }
  void Draw(const StoredFrame* frame) override {
    std::unique_lock lock(log_->mutex);
    log_->threads.insert(std::this_thread::get_id());
    if (frame != nullptr && !log_->released) {
      log_->inFrameDraw = true;
      log_->changed.notify_all();
      log_->changed.wait(lock, [this] { return log_->released; });
      log_->inFrameDraw = false;
    }
    ++log_->draws;
    log_->changed.notify_all();
  }
  void Close() override {
    log_->Note([this] { log_->closed = true; });
  }

 private:
  std::shared_ptr<PresenterLog> log_;
};

// The host's PollEvent, turned until an event of `kind` comes (false if it
// never does); the main thread sleeps a millisecond between turns, as the
// program's message loop does.
bool PollUntil(Host& host, Event::Kind kind, Event& event) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < giveUp) {
    if (host.PollEvent(event)) {
      if (event.kind == kind) return true;
      continue;
    }
    host.Sleep(1);
  }
  return false;
}

TEST(PresentThread, TheMessagePumpTakesInputWhileAPresentationIsHeldAndNeverCallsThePresenter) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  auto log = std::make_shared<PresenterLog>();
  SdlHostOptions options;
  options.window = true;
  options.mixer = false;
  options.makePresenter = [log] { return std::make_unique<BlockingPresenter>(log); };
  std::string error;
  std::unique_ptr<Host> host = CreateSdlHost(options, error);
  ASSERT_NE(host, nullptr) << error;
  ASSERT_TRUE(host->OpenScreen(ScreenIcon{}));
  ASSERT_TRUE(log->WaitFor([&] { return log->draws >= 1; })) << "the first, black picture";

  std::vector<uint16_t> picture(size_t(kScreenWidth) * kScreenHeight, 0x07e0);
  host->PresentFrame(Frame{picture.data(), kScreenWidth * 2, PixelLayout::Rgb565});
  ASSERT_TRUE(log->WaitFor([&] { return log->inFrameDraw; }));

  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.state = SDL_PRESSED;
  key.key.keysym.scancode = SDL_SCANCODE_A;
  key.key.keysym.sym = SDLK_a;
  ASSERT_EQ(SDL_PushEvent(&key), 1) << SDL_GetError();
  Event event;
  ASSERT_TRUE(PollUntil(*host, Event::Kind::Key, event));
  EXPECT_EQ(event.virtualKey, uint32_t('A'));
  EXPECT_TRUE(event.down);
  {
    std::lock_guard lock(log->mutex);
    EXPECT_TRUE(log->inFrameDraw) << "the key came only after the presentation";
    log->released = true;
    log->changed.notify_all();
  }
  ASSERT_TRUE(log->WaitFor([&] { return !log->inFrameDraw; }));

  // A window the system uncovers is drawn again, by the present thread.
  while (host->PollEvent(event)) {
  }
  const int drawn = [&] {
    std::lock_guard lock(log->mutex);
    return log->draws;
  }();
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  EXPECT_EQ(SDL_PushEvent(&exposed), 0) << "taken before the queue, and before SDL's renderer sees it";
  EXPECT_TRUE(log->WaitFor([&] { return log->draws > drawn; })) << log->draws;

  host->CloseScreen();
  std::lock_guard lock(log->mutex);
  EXPECT_TRUE(log->closed);
  EXPECT_EQ(log->threads.size(), 1u) << "one thread makes, uses and closes the renderer";
  EXPECT_EQ(log->threads.count(std::this_thread::get_id()), 0u) << "the main thread called the presenter";
}

}  // namespace
}  // namespace kaze::host

#endif  // KAZE_HAVE_SDL
