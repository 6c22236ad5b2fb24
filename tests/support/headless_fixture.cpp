#include "support/headless_fixture.h"

#include "display/display_setup.h"
#include "platform/dsound/audio_mixer.h"
#include "platform/setup/faults.h"
#include "platform/user32/resources.h"
#include "platform/setup/settings.h"
#include "platform/user32/window_system.h"
#include "program/executable_resources.h"
#include "shell/game_thread.h"
#include "shell/input.h"
#include "shell/main_window.h"
#include "shell/shared_flags.h"

namespace kaze::test {

void ResetProgramState() {
  platform::ResetWindowSystem();
  platform::ResetMessageQueue();
  platform::ResetCursor();
  platform::ClearFaults();
  platform::TheAudioMixer().SetProgramActive(true);
  platform::TheSettings() = platform::Settings{};
  platform::InstallResources(&ExecutableResources());
  TheDisplay.store(nullptr);
  DisplayReady.store(0);
  AppActive.store(0);
  QuitRequested.store(0);
  GameThreadDone.store(0);
  LastFrameTick = 0;
  CursorShown = 1;
  MainWindow = nullptr;
  AppInstance = nullptr;
  AccelTable = nullptr;
  TheDirectDraw = nullptr;
  PrimarySurface = BackBufferSurface = WorkSurface = nullptr;
  TheClipper = nullptr;
}

void HeadlessTest::SetUp() { ResetProgramState(); }

void HeadlessTest::TearDown() {
  if (host_) {
    host_->Finish(0);
    host::SetHost(nullptr);
    host_.reset();
  }
  ResetProgramState();
}

void HeadlessTest::StartHost(host::HeadlessOptions options) {
  options.keepTrace = true;
  std::string error;
  host_ = host::CreateHeadlessHost(options, error);
  ASSERT_TRUE(host_) << error;
  host::SetHost(host_.get());
}

std::vector<host::ScriptAction> HeadlessTest::Script(const std::string& text) {
  std::vector<host::ScriptAction> actions;
  std::string error;
  if (!host::ParseScript(text, actions, error)) ADD_FAILURE() << "bad script: " << error;
  return actions;
}

std::vector<TraceLine> HeadlessTest::TraceOf(const std::string& ev) {
  std::vector<TraceLine> lines;
  for (const std::string& text : host_->TraceLines()) {
    auto line = ParseTraceLine(text);
    if (line && (ev.empty() || line->ev == ev)) lines.push_back(*line);
  }
  return lines;
}

}  // namespace kaze::test
