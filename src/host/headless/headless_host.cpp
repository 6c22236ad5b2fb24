#include "host/headless/headless_host.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>

#include "host/alsa_mixer.h"
#include "host/headless/shown_picture.h"
#include "host/headless/trace_writer.h"
#include "host/headless/turn_scheduler.h"
#include "host/memory_mixer.h"
#include "host/png_file.h"
#include "host/wav_writer.h"
#include "host/write_failure.h"
#include "host/y4m_writer.h"

namespace kaze::host {

namespace {

constexpr uint32_t kAudioRate = 44100;
constexpr uint32_t kEscapeKey = 0x1B;  // what --until presses
constexpr int kRunawayExit = 4;        // a run that went on after --until

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

// SIGINT and SIGTERM end a run in order, as a close does: the handler only
// raises this flag, which the clock's next step turns into a Close event.
// The first signal takes the handler away, so that a second one ends the
// process at once.
std::atomic<int> gEndSignal{0};

void OnEndSignal(int) { gEndSignal.store(1); }

class EndSignals {
 public:
  void Catch() {
    gEndSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    caught_ = sigaction(SIGINT, &action, &oldInt_) == 0 && sigaction(SIGTERM, &action, &oldTerm_) == 0;
  }
  void Release() {
    if (!caught_) return;
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    caught_ = false;
  }
  static bool Raised() { return gEndSignal.exchange(0) != 0; }

 private:
  bool caught_ = false;
  struct sigaction oldInt_ {
  }, oldTerm_{};
};

class Headless final : public HeadlessHost {
 public:
  explicit Headless(const HeadlessOptions& options) : options_(options) {
    std::vector<ScriptAction> actions = std::move(options_.script);
    if (options.untilMs) AppendKeyPress(actions, *options.untilMs, kEscapeKey, false);
    script_ = ScriptPlayer(std::move(actions));
    std::set<uint64_t> snaps(options.snapTimes.begin(), options.snapTimes.end());
    snapTimes_.assign(snaps.begin(), snaps.end());
    scheduler_ = std::make_unique<TurnScheduler>([this](uint64_t from, uint64_t to) { Advance(from, to); });
  }

  bool Open(std::string& error) {
    TheWriteFailures().Begin([this] { RequestEnd(); });
    if (!trace_.Open(options_.tracePath, options_.keepTrace, error) ||
        (!options_.audioOutPath.empty() && !wav_.Open(options_.audioOutPath, kAudioRate, error)) ||
        (!options_.recordPath.empty() && !video_.Open(options_.recordPath, error))) {
      // A run that does not start leaves none of its files behind.
      trace_.Discard();
      wav_.Discard();
      video_.Discard();
      TheWriteFailures().End();
      return false;
    }
    endSignals_.Catch();
    ApplyActionsUpTo(0);
    return true;
  }

  // The screen.
  bool OpenScreen(const ScreenIcon&) override { return true; }  // no window, so no icon
  void CloseScreen() override {}
  void DesktopSize(int32_t& width, int32_t& height) override {
    width = options_.desktopWidth;
    height = options_.desktopHeight;
  }

  void PresentFrame(const Frame& frame) override {
    if (frame.pixels == nullptr) return;
    uint32_t crc = 0;
    int64_t flip = 0;
    {
      std::lock_guard lock(frameMutex_);
      flip = ++flips_;
      if (!shown_.Present(frame, crc)) return;
    }
    std::string hex = Hex8(crc);
    trace_.Write(Now(), "frame", {{"flip", flip}, {"crc", std::string_view(hex)}});
  }

  // Input.
  bool PollEvent(Event& event) override {
    std::lock_guard lock(inputMutex_);
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
  }
  bool IsKeyDown(uint32_t virtualKey) override {
    std::lock_guard lock(inputMutex_);
    return virtualKey < 256 && keysDown_[virtualKey];
  }
  void CursorPos(int32_t& x, int32_t& y) override {
    std::lock_guard lock(inputMutex_);
    x = pointerX_;
    y = pointerY_;
  }
  void SetCursorShown(bool shown) override {
    cursorShown_.store(shown);
    trace_.Write(Now(), "cursor", {{"shown", shown}});
  }

  // Clock and threads.
  uint32_t TickCount() override { return static_cast<uint32_t>(options_.startTick + scheduler_->Now()); }
  void Sleep(uint32_t ms) override { scheduler_->Sleep(ms); }
  bool StartThread(std::function<void()> body) override { return scheduler_->Start(std::move(body)); }

  // Audio.
  uint32_t OpenAudio(AudioSource* source) override {
    audioSource_.store(source);
    return kAudioRate;
  }
  void CloseAudio() override {
    // The last of the program's sound going away shows in the trace, so
    // that the order of the teardown can be checked.
    if (audioSource_.exchange(nullptr) != nullptr) trace_.Write(Now(), "audio", {{"op", std::string_view("close")}});
  }
  MixerDevice* Mixer() override {
    switch (options_.mixer) {
      case HeadlessMixer::InMemory:
        return memoryMixer_.get();
      case HeadlessMixer::Machine:
        return machineMixer_.Device();
      case HeadlessMixer::None:
        break;
    }
    return nullptr;
  }

  // Words to the user.
  void MessageBox(std::string_view caption, std::string_view text) override {
    trace_.Write(Now(), "msgbox", {{"caption", caption}, {"text", text}});
  }
  void DebugOutput(std::string_view text) override { trace_.Write(Now(), "debug", {{"text", text}}); }
  void Trace(std::string_view event, std::initializer_list<TraceField> fields) override {
    trace_.Write(Now(), event, fields);
  }

  ~Headless() override {
    endSignals_.Release();
    TheWriteFailures().End();
    if (scheduler_ && !scheduler_->JoinAll()) {
      scheduler_->DetachAll();
      (void)scheduler_.release();
    }
  }

  void Finish(int exitCode) override {
    endSignals_.Release();
    WriteSnapshotsUpTo(Now() + 1);  // the snapshots due by now show the last frame
    RecordUpTo(Now() + 1);
    // The video's last frame lasts 20 ms past the end: the sound is made as
    // long with silence, so that the two files end together.
    const uint64_t videoFrames = video_.FramesWritten() * kRecordFrameMs * kAudioRate / 1000;
    if (video_.IsOpen() && wav_.IsOpen() && videoFrames > wav_.Frames())
      wav_.AppendSilence(videoFrames - wav_.Frames());
    CloseFiles(exitCode);
    TheWriteFailures().End();
    if (!scheduler_->JoinAll()) {
      // A thread still sleeps and will never be woken: leave it to the
      // process's end rather than destroy what it waits on.
      scheduler_->DetachAll();
      (void)scheduler_.release();
    }
  }

  // For tests.
  uint64_t Now() const override { return scheduler_->Now(); }
  int64_t Flips() const override {
    std::lock_guard lock(frameMutex_);
    return flips_;
  }
  std::vector<std::string> TraceLines() override { return trace_.Lines(); }
  std::vector<uint16_t> ShownFrame() override {
    std::lock_guard lock(frameMutex_);
    return shown_.Pixels();
  }
  bool CursorShown() const override { return cursorShown_.load(); }

 private:
  // The clock moves from `from` to `to`: the audio of that stretch is mixed,
  // snapshots due in it are written, and the script's actions up to `to`
  // happen before any thread runs at `to`.
  void Advance(uint64_t from, uint64_t to) {
    if (EndSignals::Raised()) RequestEnd();
    MixAudio(from, to);
    WriteSnapshotsUpTo(to);
    RecordUpTo(to);
    ApplyActionsUpTo(to);
    if (options_.untilMs && to > *options_.untilMs + options_.runawayLimitMs) StopRunaway();
  }

  void MixAudio(uint64_t from, uint64_t to) {
    // Sample counts by absolute time, so no remainder is lost.
    const uint64_t frames = to * kAudioRate / 1000 - from * kAudioRate / 1000;
    AudioSource* source = audioSource_.load();
    if (frames == 0 || (source == nullptr && options_.audioOutPath.empty())) return;
    mixBuffer_.assign(frames * 2, 0);
    if (source != nullptr) source->Mix(mixBuffer_.data(), frames);
    wav_.Append(mixBuffer_.data(), frames);
  }

  void WriteSnapshotsUpTo(uint64_t to) {
    while (nextSnap_ < snapTimes_.size() && snapTimes_[nextSnap_] < to) {
      const uint64_t time = snapTimes_[nextSnap_++];
      std::string path = options_.snapDir.empty() ? "" : options_.snapDir + "/";
      path += "snap-" + std::to_string(time) + ".png";
      int error = 0;
      {
        std::lock_guard lock(frameMutex_);
        error = WritePng(path, shown_.Pixels(), kScreenWidth, kScreenHeight, shown_.Layout());
      }
      if (error == 0)
        trace_.Write(time, "snap", {{"file", std::string_view(path)}});
      else
        TheWriteFailures().Report("the snapshot", path, error);
    }
  }

  // The video's frames due before `to` (one each 20 ms from 0) all show the
  // picture on screen now: no thread runs between here and `to`.
  void RecordUpTo(uint64_t to) {
    if (!video_.IsOpen() || to == 0) return;
    const uint64_t due = (to - 1) / kRecordFrameMs + 1;
    if (due <= video_.FramesWritten()) return;
    std::lock_guard lock(frameMutex_);
    if (recordedVersion_ != shown_.Version()) {
      video_.SetPicture(shown_.Pixels().data(), kScreenWidth * 2, shown_.Layout());
      recordedVersion_ = shown_.Version();
    }
    video_.WriteFrames(due - video_.FramesWritten());
  }

  void ApplyActionsUpTo(uint64_t to) {
    std::lock_guard lock(inputMutex_);
    changes_.clear();
    script_.ChangesUpTo(to, changes_);
    for (const InputChange& change : changes_) {
      switch (change.kind) {
        case InputChange::Kind::MovePointer:
          pointerX_ = change.x;
          pointerY_ = change.y;
          break;
        case InputChange::Kind::Button:
        case InputChange::Kind::HoldKey:
          if (change.virtualKey < 256) keysDown_[change.virtualKey] = change.down;
          break;
        case InputChange::Kind::QueueEvent:
          events_.push_back(change.event);
          break;
      }
    }
  }

  // A failed write or a signal: the program is asked to close, as the
  // window's close button would, so that its own shutdown runs and every
  // file is finished. Asked once.
  void RequestEnd() {
    std::lock_guard lock(inputMutex_);
    if (endRequested_) return;
    endRequested_ = true;
    events_.push_back(Event{.kind = Event::Kind::Close});
  }

  // The trace last, so that its exit line tells the process's exit code,
  // which a failed write of the other files makes kWriteFailedExit.
  void CloseFiles(int exitCode) {
    wav_.Close();
    video_.Close();
    const int code = TheWriteFailures().Any() ? kWriteFailedExit : exitCode;
    trace_.Write(Now(), "exit", {{"code", int64_t{code}}, {"flips", Flips()}});
    trace_.Close();
  }

  [[noreturn]] void StopRunaway() {
    std::fprintf(stderr, "kaze: the run did not end within %llu ms after --until; stopped\n",
                 static_cast<unsigned long long>(options_.runawayLimitMs));
    CloseFiles(kRunawayExit);
    std::_Exit(kRunawayExit);
  }

  HeadlessOptions options_;
  ScriptPlayer script_;
  std::vector<InputChange> changes_;  // of one step of the clock
  std::vector<uint64_t> snapTimes_;
  size_t nextSnap_ = 0;

  TraceWriter trace_;
  WavWriter wav_;
  Y4mWriter video_;
  uint64_t recordedVersion_ = 0;  // the shown_.Version() the video holds (0: black)
  std::vector<int16_t> mixBuffer_;
  std::atomic<AudioSource*> audioSource_{nullptr};
  // Both after the trace, which the memory mixer writes to until it goes.
  std::unique_ptr<MixerDevice> memoryMixer_ = CreateMemoryMixerDevice(*this);
  MachineMixer machineMixer_;

  mutable std::mutex frameMutex_;
  ShownPicture shown_;
  int64_t flips_ = 0;

  std::mutex inputMutex_;
  std::deque<Event> events_;
  bool endRequested_ = false;
  bool keysDown_[256] = {};
  int32_t pointerX_ = 0, pointerY_ = 0;
  std::atomic<bool> cursorShown_{true};

  std::unique_ptr<TurnScheduler> scheduler_;
  EndSignals endSignals_;
};

}  // namespace

std::unique_ptr<HeadlessHost> CreateHeadlessHost(const HeadlessOptions& options, std::string& error) {
  auto host = std::make_unique<Headless>(options);
  if (!host->Open(error)) return nullptr;
  return host;
}

}  // namespace kaze::host
