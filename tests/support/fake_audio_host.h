// A host with no devices for the sound tests: it hands out an audio output
// whose mix the test pulls by hand, and it records debugger messages and
// sound events.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/null_host.h"

namespace kaze::test {

struct TraceRecord {
  std::string event;
  std::map<std::string, std::string> fields;  // values as text: "3", "true", "DATA\..."

  std::string operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? "" : it->second;
  }
};

class FakeAudioHost final : public host::NullHost {
 public:
  uint32_t audioRate = 44100;  // what OpenAudio reports; 0 for no output
  host::AudioSource* audio = nullptr;
  int closeAudioCalls = 0;
  int sleeps = 0;  // each presented frame sleeps once
  std::vector<std::string> debugMessages;
  std::vector<TraceRecord> trace;

  // The sound events with this op.
  std::vector<TraceRecord> SoundEvents(const std::string& op) const;
  // Pulls `frames` stereo frames from the mixer.
  std::vector<int16_t> Pull(size_t frames);

  void Sleep(uint32_t) override { ++sleeps; }
  uint32_t OpenAudio(host::AudioSource* source) override;
  void CloseAudio() override;
  void DebugOutput(std::string_view text) override { debugMessages.emplace_back(text); }
  void Trace(std::string_view event, std::initializer_list<host::TraceField> fields) override;
};

}  // namespace kaze::test
