#include "support/fake_audio_host.h"

namespace kaze::test {

std::vector<TraceRecord> FakeAudioHost::SoundEvents(const std::string& op) const {
  std::vector<TraceRecord> found;
  for (const TraceRecord& record : trace) {
    if (record.event == "sound" && record["op"] == op) found.push_back(record);
  }
  return found;
}

std::vector<int16_t> FakeAudioHost::Pull(size_t frames) {
  std::vector<int16_t> stereo(frames * 2, 0x5555);
  if (audio != nullptr) audio->Mix(stereo.data(), frames);
  return stereo;
}

uint32_t FakeAudioHost::OpenAudio(host::AudioSource* source) {
  if (audioRate != 0) audio = source;
  return audioRate;
}

void FakeAudioHost::CloseAudio() {
  audio = nullptr;
  ++closeAudioCalls;
}

void FakeAudioHost::Trace(std::string_view event, std::initializer_list<host::TraceField> fields) {
  TraceRecord record{std::string(event), {}};
  for (const host::TraceField& field : fields) {
    std::string text;
    if (auto* number = std::get_if<int64_t>(&field.value))
      text = std::to_string(*number);
    else if (auto* flag = std::get_if<bool>(&field.value))
      text = *flag ? "true" : "false";
    else
      text = std::get<std::string_view>(field.value);
    record.fields[std::string(field.key)] = text;
  }
  trace.push_back(std::move(record));
}

}  // namespace kaze::test
