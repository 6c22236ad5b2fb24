// The machine's mixer on Linux: the first sound card's ALSA mixer. Its "Synth"
// playback element, where the card has one, is the synthesizer source line
// with one volume control on the 0 to 65535 scale; nothing else of the card
// is shown, so nothing else can be changed.
//
// ALSA's simple mixer answers reads from values it loaded when it was
// opened, and skips a write equal to such a value. So every connection
// opens the card's mixer afresh and closes it at its end: a volume that
// another program changed meanwhile is read, and written back, as it is.
#include "host/alsa_mixer.h"

#ifdef KAZE_HAVE_ALSA

#include <alsa/asoundlib.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kaze::host {

namespace {

constexpr uint32_t kSpeakersLineId = 0x0000;
constexpr uint32_t kSynthLineId = 0x10000;
constexpr uint32_t kSynthVolumeId = 1;
constexpr uint32_t kScaleTop = 65535;

class AlsaMixerBackend final : public MixerBackend {
 public:
  AlsaMixerBackend(snd_mixer_t* mixer, std::string name, snd_mixer_elem_t* synth)
      : mixer_(mixer), name_(std::move(name)), synth_(synth) {
    MixerLineInfo speakers;
    speakers.id = kSpeakersLineId;
    speakers.componentType = kMixerLineSpeakers;
    speakers.channels = 2;
    speakers.name = "Master";
    if (synth_ != nullptr) {
      MixerLineInfo line;
      line.id = kSynthLineId;
      line.componentType = kMixerLineSynthesizer;
      line.channels = snd_mixer_selem_is_playback_mono(synth_) ? 1 : 2;
      line.name = "Synth";
      MixerControlInfo volume;
      volume.id = kSynthVolumeId;
      volume.type = kMixerControlVolume;
      volume.name = "Synth Volume";
      volume.steps = kScaleTop + 1;
      line.controls.push_back(volume);
      speakers.sources.push_back(line);
    }
    destinations_.push_back(speakers);
  }

  ~AlsaMixerBackend() override { snd_mixer_close(mixer_); }

  std::string Name() const override { return name_; }
  const std::vector<MixerLineInfo>& Destinations() const override { return destinations_; }

  bool ReadValues(uint32_t controlId, uint32_t channels, uint32_t items, std::vector<uint32_t>& values) override {
    long low = 0, high = 0;
    if (!IsSynthVolume(controlId, items) || snd_mixer_selem_get_playback_volume_range(synth_, &low, &high) < 0) {
      return false;
    }
    for (uint32_t channel = 0; channel < channels && channel < values.size(); ++channel) {
      long value = 0;
      if (snd_mixer_selem_get_playback_volume(synth_, ChannelOf(channel), &value) < 0) return false;
      values[channel] = high > low ? static_cast<uint32_t>((value - low) * kScaleTop / (high - low)) : 0;
    }
    return true;
  }

  bool WriteValues(uint32_t controlId, uint32_t channels, uint32_t items,
                   const std::vector<uint32_t>& values) override {
    long low = 0, high = 0;
    if (!IsSynthVolume(controlId, items) || snd_mixer_selem_get_playback_volume_range(synth_, &low, &high) < 0) {
      return false;
    }
    auto toCard = [&](uint32_t value) {
      double share = static_cast<double>(std::min<uint32_t>(value, kScaleTop)) / kScaleTop;
      return low + std::lround(share * static_cast<double>(high - low));
    };
    if (channels == 1) return snd_mixer_selem_set_playback_volume_all(synth_, toCard(values[0])) >= 0;
    for (uint32_t channel = 0; channel < channels && channel < values.size(); ++channel) {
      if (snd_mixer_selem_set_playback_volume(synth_, ChannelOf(channel), toCard(values[channel])) < 0) return false;
    }
    return true;
  }

 private:
  bool IsSynthVolume(uint32_t controlId, uint32_t items) const {
    return synth_ != nullptr && controlId == kSynthVolumeId && items == 1;
  }

  static snd_mixer_selem_channel_id_t ChannelOf(uint32_t channel) {
    return channel == 0 ? SND_MIXER_SCHN_FRONT_LEFT : SND_MIXER_SCHN_FRONT_RIGHT;
  }

  snd_mixer_t* mixer_;
  std::string name_;
  snd_mixer_elem_t* synth_;
  std::vector<MixerLineInfo> destinations_;
};

snd_mixer_elem_t* FindSynthElement(snd_mixer_t* mixer) {
  for (snd_mixer_elem_t* elem = snd_mixer_first_elem(mixer); elem != nullptr; elem = snd_mixer_elem_next(elem)) {
    if (strcasecmp(snd_mixer_selem_get_name(elem), "Synth") == 0 && snd_mixer_selem_has_playback_volume(elem)) {
      return elem;
    }
  }
  return nullptr;
}

class AlsaMixerDevice final : public MixerDevice {
 public:
  explicit AlsaMixerDevice(int card) : card_(card) {}

  std::unique_ptr<MixerBackend> Open() override {
    std::string device = "hw:" + std::to_string(card_);
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) return nullptr;
    if (snd_mixer_attach(mixer, device.c_str()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(mixer) < 0) {
      snd_mixer_close(mixer);
      return nullptr;
    }
    std::string name = device;
    char* cardName = nullptr;
    if (snd_card_get_name(card_, &cardName) == 0 && cardName != nullptr) {
      name = cardName;
      std::free(cardName);
    }
    return std::make_unique<AlsaMixerBackend>(mixer, name, FindSynthElement(mixer));
  }

 private:
  int card_;
};

}  // namespace

std::unique_ptr<MixerDevice> CreateAlsaMixerDevice() {
  int card = -1;
  if (snd_card_next(&card) < 0 || card < 0) return nullptr;
  return std::make_unique<AlsaMixerDevice>(card);
}

}  // namespace kaze::host

#else

namespace kaze::host {

std::unique_ptr<MixerDevice> CreateAlsaMixerDevice() { return nullptr; }

}  // namespace kaze::host

#endif
