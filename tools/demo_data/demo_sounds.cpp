#include "demo_sounds.h"

#include <functional>
#include <string>

#include "sound_ambience.h"
#include "sound_tunes.h"
#include "sound_wav.h"

namespace demo {
namespace {

struct SoundFile {
  const char* name;
  PcmFormat format;
  std::function<synth::Signal(double rate)> make;
};

// The set mixes 8 and 16 bits, mono and stereo, 11025 and 22050 Hz, so a
// run of the demo exercises each of the player's conversions.
const SoundFile kSoundFiles[] = {
    {"kazese01", {11025, 1, 8}, [](double rate) { return ambience::Wind(rate, 12.0); }},
    {"kazese02", {22050, 2, 16}, [](double rate) { return ambience::Chimes(rate, 10.0); }},
    {"kazese03", {22050, 1, 16}, [](double rate) { return ambience::Drone(rate, 12.0); }},
    {"kazese04", {22050, 1, 8}, [](double rate) { return ambience::GrassWind(rate, 10.0); }},
    {"kazese06", {11025, 1, 16}, [](double rate) { return ambience::Bells(rate, 12.0); }},
    {"opening", {22050, 1, 16}, [](double rate) { return tunes::Opening(rate); }},
    {"taiken", {22050, 1, 16}, [](double rate) { return tunes::Intro(rate); }},
};

std::string PathOf(const SoundFile& file) { return "SOUND/" + std::string(file.name) + ".wav"; }

}  // namespace

std::vector<std::string> SoundPaths() {
  std::vector<std::string> paths;
  for (const SoundFile& file : kSoundFiles) paths.push_back(PathOf(file));
  return paths;
}

void SoundFiles(std::vector<DemoFile>& files) {
  for (const SoundFile& file : kSoundFiles)
    files.push_back({PathOf(file), EncodeWav(file.make(file.format.rate), file.format)});
}

}  // namespace demo
