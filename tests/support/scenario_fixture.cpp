#include "support/scenario_fixture.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "game/clicks.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "game/page_tables.h"
#include "game/scenes.h"
#include "game/story.h"
#include "platform/kernel32/files.h"
#include "shell/game_thread.h"
#include "shell/main_window.h"
#include "sound/effects.h"

namespace kaze::test {

namespace {

// Forwards everything to the headless host, samples the probes of every
// presented frame, and lets each flip cost the program's clock some time.
class ProbingHost final : public host::Host {
 public:
  ProbingHost(host::HeadlessHost& inner, ScenarioOptions options, std::vector<FlipRecord>& out)
      : inner_(inner), options_(std::move(options)), out_(out) {}

  bool OpenScreen(const host::ScreenIcon& icon) override { return inner_.OpenScreen(icon); }
  void CloseScreen() override { inner_.CloseScreen(); }
  void DesktopSize(int32_t& width, int32_t& height) override { inner_.DesktopSize(width, height); }
  void PresentFrame(const host::Frame& frame) override {
    flips_ += 1;
    if (frame.pixels != nullptr) {
      FlipRecord record{inner_.Now(), {}};
      for (const Probe& p : options_.probes) {
        const auto* row = reinterpret_cast<const uint8_t*>(frame.pixels) + static_cast<intptr_t>(p.y) * frame.pitch;
        record.pixels.push_back(reinterpret_cast<const uint16_t*>(row)[p.x]);
      }
      std::lock_guard lock(mutex_);
      out_.push_back(std::move(record));
    }
    inner_.PresentFrame(frame);
  }
  bool PollEvent(host::Event& event) override { return inner_.PollEvent(event); }
  bool IsKeyDown(uint32_t key) override { return inner_.IsKeyDown(key); }
  void CursorPos(int32_t& x, int32_t& y) override { inner_.CursorPos(x, y); }
  void SetCursorShown(bool shown) override { inner_.SetCursorShown(shown); }
  uint32_t TickCount() override { return inner_.TickCount() + flips_.load() * options_.slowFlipMs; }
  void Sleep(uint32_t ms) override { inner_.Sleep(ms); }
  bool StartThread(std::function<void()> body) override { return inner_.StartThread(std::move(body)); }
  uint32_t OpenAudio(host::AudioSource* source) override { return inner_.OpenAudio(source); }
  void CloseAudio() override { inner_.CloseAudio(); }
  host::MixerDevice* Mixer() override { return inner_.Mixer(); }
  void MessageBox(std::string_view caption, std::string_view text) override { inner_.MessageBox(caption, text); }
  void DebugOutput(std::string_view text) override { inner_.DebugOutput(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override {
    inner_.Trace(event, fields);
  }
  void Finish(int exitCode) override { inner_.Finish(exitCode); }

 private:
  host::HeadlessHost& inner_;
  ScenarioOptions options_;
  std::vector<FlipRecord>& out_;
  std::mutex mutex_;
  std::atomic<uint32_t> flips_{0};
};

// The scenario's own state, as at the start of a program.
void ResetScenarioState() {
  FadeState = FadeLevel = FadeStep = FadeCounter = FadeRampsIntroTune = 0;
  LeftClickLatch = RightClickLatch = 0;
  SoundEnabled = 3;
  for (int effect = 0; effect <= kLastEffect; ++effect) {
    EffectChannels[effect] = 0;
    EffectLooping[effect] = 0;
  }
  Stage = StageCommand = PageComplete = PageAnimCounter = QuitConfirmed = QuitCountdown = 0;
  PressedButton = 0;
  HideDialogItems();
  for (auto& page : LineState)
    for (auto& line : page) line = LineStateEntry{};
}

}  // namespace

int ScenarioTest::PlayScenario(const std::filesystem::path& root, void (*scenario)(), const std::string& script,
                               uint64_t untilMs, ScenarioOptions options) {
  ResetProgramState();  // a second run in one test starts afresh
  platform::SetDataRoot(root);
  ResetScenarioState();
  frames.clear();
  host::HeadlessOptions headless;
  headless.script = Script(script);
  headless.untilMs = untilMs;
  StartHost(headless);
  ProbingHost probing(host(), std::move(options), frames);
  host::SetHost(&probing);
  GameScenario = scenario;
  char commandLine[] = "";
  const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWNORMAL);
  GameScenario = MainSceneLoop;
  host::SetHost(&host());
  return exitCode;
}

size_t ScenarioTest::FlipAt(uint64_t t) const {
  size_t i = 0;
  while (i < frames.size() && frames[i].t < t) ++i;
  return i;
}

std::vector<TraceLine> ScenarioTest::SoundOf(int effect, const std::string& op) {
  static const int kLoadOrder[] = {1, 2, 3, 4, 6, 7, 8};
  int64_t channel = -1;
  int index = 0;
  for (const TraceLine& line : TraceOf("sound")) {
    if (line.Str("op") != "load") continue;
    if (index < 7 && kLoadOrder[index] == effect) channel = line.Int("channel");
    ++index;
  }
  std::vector<TraceLine> found;
  for (const TraceLine& line : TraceOf("sound"))
    if (line.Str("op") == op && line.Int("channel") == channel) found.push_back(line);
  return found;
}

}  // namespace kaze::test
