// A host with no devices for the sound tests: it hands out an audio output
// whose mix the test pulls by hand, and it records debugger messages and
// sound events.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"

namespace kaze::test {

struct TraceRecord {
  std::string event;
  std::map<std::string, std::string> fields;  // values as text: "3", "true", "DATA\..."

  std::string operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? "" : it->second;
  }
};

class FakeAudioHost final : public host::Host {
 public:
  uint32_t audioRate = 44100;  // what OpenAudio reports; 0 for no output
  host::AudioSource* audio = nullptr;
  int closeAudioCalls = 0;
  std::vector<std::string> debugMessages;
  std::vector<TraceRecord> trace;

  // The sound events with this op.
  std::vector<TraceRecord> SoundEvents(const std::string& op) const;
  // Pulls `frames` stereo frames from the mixer.
  std::vector<int16_t> Pull(size_t frames);

  bool OpenScreen() override { return false; }
  void CloseScreen() override {}
  void DesktopSize(int32_t& width, int32_t& height) override { width = 640, height = 480; }
  void PresentFrame(const host::Frame&) override {}
  bool PollEvent(host::Event&) override { return false; }
  bool IsKeyDown(uint32_t) override { return false; }
  void CursorPos(int32_t& x, int32_t& y) override { x = 0, y = 0; }
  void SetCursorShown(bool) override {}
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {}
  bool StartThread(std::function<void()>) override { return false; }
  uint32_t OpenAudio(host::AudioSource* source) override;
  void CloseAudio() override;
  void MessageBox(std::string_view, std::string_view) override {}
  void DebugOutput(std::string_view text) override { debugMessages.emplace_back(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override;
  void Finish(int) override {}
};

// How many frames the program has presented (PumpFrame calls) in this test
// binary.
extern int PumpFrameCalls;

}  // namespace kaze::test
