#include "story/story_fixture.h"

#include <process.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "display/display_device.h"
#include "game/clicks.h"
#include "game/control_bar.h"
#include "game/fade.h"
#include "game/info_screen.h"
#include "game/intro.h"
#include "game/main_scene_loop.h"
#include "game/opening.h"
#include "game/stage_pages.h"
#include "game/story.h"
#include "game/story_state.h"
#include "game/title.h"
#include "platform/kernel32/files.h"
#include "shell/game_thread.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"
#include "sound/effects.h"
#include "sound/sound_bank.h"
#include "support/scene_data.h"

namespace kaze::test {

uint32_t PageColour(int32_t page) { return 0xF80000u | (static_cast<uint32_t>(page) * 0x20u) << 8 | 0x80u; }

uint32_t BarColour(int32_t slot) { return 0x800000u | (static_cast<uint32_t>(slot) * 4u) << 8 | 0xF8u; }

uint16_t To565(uint32_t rgb) {
  return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

uint16_t Dimmed565(uint32_t rgb) { return static_cast<uint16_t>((To565(rgb) >> 1) & 0x7BCF); }

int32_t DarkeningOf(uint16_t pixel) { return 31 - (pixel >> 11); }

uint16_t Darken565(uint16_t pixel, int32_t level) {
  auto channel = [&](int shift) { return std::max(0, ((pixel >> shift) & 0x1F) - level) << shift; };
  return static_cast<uint16_t>(channel(11) | channel(6) | channel(0));
}

std::vector<Probe> StandardProbes() {
  return {{320, 200}, {590, 33},  {590, 51},  {553, 33},  {498, 452}, {568, 452}, {30, 456},
          {452, 459}, {150, 465}, {285, 467}, {330, 70},  {320, 445}, {320, 241}};
}

void WriteStoryData(const std::filesystem::path& root) {
  SceneData data(root);
  data.Effects();
  vimage::RgbPicture zoomed = Solid(640, 480, PageColour(7));
  std::fill(zoomed.colours.begin() + 240 * 640, zoomed.colours.end(), kLowerHalfColour);
  data.Picture("main\\st0070.v", zoomed);
  for (int32_t page : {1, 2, 3}) {
    char name[32];
    std::snprintf(name, sizeof name, "main\\st0%02d0.v", page);
    data.Picture(name, 640, 450, PageColour(page));
  }
  data.Picture("main\\st0030m.v", 100, 50, kOverlayColour);
  data.Picture("main\\st0050.v", 348, 420, PageColour(5));
  data.Picture("main\\st0060.v", 370, 450, PageColour(6));
  for (int32_t i = 0; i < 3; ++i) data.Picture("anime\\st006a" + std::to_string(i + 1) + ".v", 60, 40, kBlinkColour[i]);
  for (int32_t page = 1; page <= 7; ++page) {
    for (int32_t line = 1; line <= StageInfo[page].lineCount; ++line) {
      char name[32];
      std::snprintf(name, sizeof name, "main\\st0%02d%01d.v", page, line);
      data.Picture(name, 24, kLineHeight, kLineColour);
    }
  }
  data.Picture("main\\freeinfo.v", 466, 146, kInfoColour);

  struct BarPicture {
    int32_t slot;
    const char* name;
    int32_t width, height;
  };
  static const BarPicture kBar[] = {
      {20, "backa", 40, 27},  {21, "backb", 40, 27},    {22, "nexta", 40, 27},       {23, "nextb", 40, 27},
      {24, "1a", 8, 8},       {25, "1b", 8, 8},         {26, "2a", 8, 8},            {27, "2b", 8, 8},
      {28, "3a", 8, 8},       {29, "3b", 8, 8},         {31, "melodya", 16, 16},     {32, "melodyb", 16, 16},
      {33, "quita", 30, 20},  {34, "quitb", 30, 20},    {35, "loada", 30, 12},       {36, "loadb", 8, 8},
      {37, "savea", 30, 12},  {38, "saveb", 8, 8},      {40, "textsave", 8, 8},      {41, "textload", 8, 8},
      {42, "textover", 8, 8}, {43, "textend", 130, 15}, {44, "yes", 23, 12},         {45, "no", 23, 12},
      {46, "textloadsel", 8, 8}, {47, "textsavesel", 8, 8}, {48, "load", 8, 8},      {49, "save", 8, 8},
      {50, "cancela", 8, 8},  {51, "cancelb", 8, 8},    {52, "1c", 8, 8},            {53, "2c", 8, 8},
      {54, "3c", 8, 8},
  };
  for (const BarPicture& p : kBar)
    data.Picture(std::string("system\\") + p.name + ".v", p.width, p.height, BarColour(p.slot));
}

namespace {

// Forwards everything to the headless host and samples the probes of every
// presented frame.
class ProbingHost final : public host::Host {
 public:
  ProbingHost(host::HeadlessHost& inner, std::vector<Probe> probes, std::vector<FlipRecord>& out)
      : inner_(inner), probes_(std::move(probes)), out_(out) {}

  bool OpenScreen() override { return inner_.OpenScreen(); }
  void CloseScreen() override { inner_.CloseScreen(); }
  void DesktopSize(int32_t& width, int32_t& height) override { inner_.DesktopSize(width, height); }
  void PresentFrame(const host::Frame& frame) override {
    if (frame.pixels != nullptr) {
      FlipRecord record{inner_.Now(), {}};
      for (const Probe& p : probes_) {
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
  uint32_t TickCount() override { return inner_.TickCount(); }
  void Sleep(uint32_t ms) override { inner_.Sleep(ms); }
  bool StartThread(std::function<void()> body) override { return inner_.StartThread(std::move(body)); }
  uint32_t OpenAudio(host::AudioSource* source) override { return inner_.OpenAudio(source); }
  void CloseAudio() override { inner_.CloseAudio(); }
  void MessageBox(std::string_view caption, std::string_view text) override { inner_.MessageBox(caption, text); }
  void DebugOutput(std::string_view text) override { inner_.DebugOutput(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override {
    inner_.Trace(event, fields);
  }
  void Finish(int exitCode) override { inner_.Finish(exitCode); }

 private:
  host::HeadlessHost& inner_;
  std::vector<Probe> probes_;
  std::vector<FlipRecord>& out_;
  std::mutex mutex_;
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

// The scene loop from the story on; the intro and the opening, which would
// have switched the sound on, are skipped in the first cycle only.
void StoryScenario() {
  LoadEffects();
  InitFadeVolumeTable();
  SoundEnabled = 1;
  while (RunStory() != 1) {
    ShowInfoScreen();
    PlayIntroSequence();
    PlayOpening();
    PlayTitle();
  }
  ReleaseEffects();
}

}  // namespace

int StoryTest::PlayStory(const std::filesystem::path& root, const std::string& script, uint64_t untilMs,
                         std::vector<Probe> probes) {
  ResetProgramState();  // a second run in one test starts afresh
  platform::SetDataRoot(root);
  ResetScenarioState();
  frames.clear();
  host::HeadlessOptions options;
  options.script = Script(script);
  options.untilMs = untilMs;
  StartHost(options);
  ProbingHost probing(host(), std::move(probes), frames);
  host::SetHost(&probing);
  GameScenario = StoryScenario;
  char commandLine[] = "";
  const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWNORMAL);
  GameScenario = MainSceneLoop;
  host::SetHost(&host());
  return exitCode;
}

size_t StoryTest::FlipAt(uint64_t t) const {
  size_t i = 0;
  while (i < frames.size() && frames[i].t < t) ++i;
  return i;
}

std::vector<TraceLine> StoryTest::SoundOf(int effect, const std::string& op) {
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
