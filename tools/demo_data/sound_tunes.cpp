#include "sound_tunes.h"

#include <cmath>
#include <functional>
#include <vector>

#include "sound_voices.h"

namespace demo::tunes {

using synth::Signal;

namespace {

struct Note {
  double beat;   // start, in beats from the top
  double beats;  // how long it is held (pads and basses)
  int midi;
  double velocity;
};

struct Chord {
  double beat, beats;
  int bass;
  std::vector<int> pad;
};

using Voice = std::function<Signal(const Note&)>;

// Renders every note into `out`, starting at its beat; a loop wraps the
// tails of its last notes round to its head.
void Play(Signal& out, const std::vector<Note>& notes, double beatSamples, bool loop, const Voice& voice, double gain) {
  for (const Note& note : notes) {
    const Signal tone = voice(note);
    const size_t start = size_t(std::llround(note.beat * beatSamples));
    if (loop)
      synth::MixWrapped(out, tone, start, gain * note.velocity);
    else
      synth::MixClipped(out, tone, start, gain * note.velocity);
  }
}

// Each note again, `after` beats later and softer: a simple echo.
std::vector<Note> WithEcho(const std::vector<Note>& notes, double after, double first, double second) {
  std::vector<Note> all = notes;
  for (const Note& note : notes) {
    all.push_back({note.beat + after, note.beats, note.midi, note.velocity * first});
    all.push_back({note.beat + 2 * after, note.beats, note.midi, note.velocity * second});
  }
  return all;
}

// The chords' basses and pads, each held a little past its chord so the
// next one swells in under it.
void PlayChords(Signal& out, const std::vector<Chord>& chords, double rate, double beatSeconds, bool loop,
                double bassGain, double padGain) {
  std::vector<Note> basses, pads;
  for (const Chord& chord : chords) {
    basses.push_back({chord.beat, chord.beats, chord.bass, 1.0});
    for (int tone : chord.pad) pads.push_back({chord.beat, chord.beats, tone, 1.0});
  }
  const double beatSamples = beatSeconds * rate;
  Play(
      out, basses, beatSamples, loop,
      [&](const Note& n) { return voices::Bass(rate, voices::NoteHz(n.midi), n.beats * beatSeconds + 0.5); }, bassGain);
  Play(
      out, pads, beatSamples, loop,
      [&](const Note& n) { return voices::Pad(rate, voices::NoteHz(n.midi), n.beats * beatSeconds + 1.5); }, padGain);
}

}  // namespace

Signal Opening(double rate) {
  constexpr double kBeat = 0.75;  // seconds
  const double beatSamples = kBeat * rate;
  Signal tune(size_t(28.5 * rate), 0.0);

  // Bm G D A | Bm G A D, one bar each; the last chord is held.
  const std::vector<Chord> chords = {{0, 4, 47, {54, 59, 62}},  {4, 4, 43, {55, 59, 62}},  {8, 4, 50, {54, 57, 62}},
                                     {12, 4, 45, {52, 57, 61}}, {16, 4, 47, {54, 59, 62}}, {20, 4, 43, {55, 59, 62}},
                                     {24, 4, 45, {52, 57, 61}}, {28, 8, 38, {54, 57, 62}}};
  PlayChords(tune, chords, rate, kBeat, false, 0.4, 0.12);

  // A plucked arpeggio in eighths through the first seven bars, then a slow
  // roll up the last chord.
  const std::vector<std::vector<int>> arpeggios = {{59, 62, 66, 71}, {55, 59, 62, 67}, {57, 62, 66, 69},
                                                   {57, 61, 64, 69}, {59, 62, 66, 71}, {55, 59, 62, 67},
                                                   {57, 61, 64, 69}};
  const int pattern[] = {0, 1, 2, 3, 2, 1, 2, 1};
  std::vector<Note> arpeggio;
  for (size_t bar = 0; bar < arpeggios.size(); ++bar)
    for (int step = 0; step < 8; ++step)
      arpeggio.push_back(
          {4.0 * double(bar) + 0.5 * step, 0.5, arpeggios[bar][size_t(pattern[step])], step % 2 == 0 ? 0.38 : 0.3});
  const int roll[] = {50, 57, 62, 66, 69, 74};
  for (int k = 0; k < 6; ++k) arpeggio.push_back({28.0 + 0.3 * k, 1, roll[k], 0.34});
  Play(
      tune, arpeggio, beatSamples, false, [&](const Note& n) { return voices::Pluck(rate, voices::NoteHz(n.midi)); },
      1.0);

  // The melody enters in the third bar.
  const std::vector<Note> melody = {{8, 1.5, 78, 0.6},     {9.5, 0.5, 76, 0.45}, {10, 1, 74, 0.55}, {11, 1, 69, 0.5},
                                    {12, 1, 73, 0.55},     {13, 1, 76, 0.55},    {14, 2, 81, 0.6},  {16, 1.5, 78, 0.6},
                                    {17.5, 0.5, 74, 0.45}, {18, 2, 71, 0.55},    {20, 1, 74, 0.5},  {21, 1, 76, 0.55},
                                    {22, 1, 79, 0.6},      {23, 1, 78, 0.5},     {24, 2, 76, 0.6},  {26, 1, 73, 0.5},
                                    {27, 1, 76, 0.5},      {28, 4, 74, 0.6},     {28.9, 4, 78, 0.3}};
  Play(
      tune, WithEcho(melody, 0.75, 0.22, 0.06), beatSamples, false,
      [&](const Note& n) { return voices::Glock(rate, voices::NoteHz(n.midi)); }, 1.0);

  // The held chord dies away over the last two seconds.
  const size_t fade = size_t(2.0 * rate);
  for (size_t i = 0; i < fade; ++i) {
    const double x = double(i) / double(fade);
    tune[tune.size() - fade + i] *= 0.5 + 0.5 * std::cos(synth::kPi * x);
  }
  synth::Normalize({&tune}, 0.42);
  return tune;
}

Signal Intro(double rate) {
  constexpr double kBeat = 0.5;  // seconds; 32 beats make the loop
  const double beatSamples = kBeat * rate;
  Signal tune(size_t(32 * beatSamples), 0.0);

  // D Bm G A, two bars each; A leads back to D at the top.
  const std::vector<Chord> chords = {
      {0, 8, 50, {54, 57, 62}}, {8, 8, 47, {54, 59, 62}}, {16, 8, 43, {55, 59, 62}}, {24, 8, 45, {52, 57, 61}}};
  PlayChords(tune, chords, rate, kBeat, true, 0.35, 0.13);

  const std::vector<Note> melody = {
      {0, 1.5, 69, 0.8}, {1.5, 0.5, 66, 0.6}, {2, 1, 64, 0.7},    {3, 1, 62, 0.65},      // D
      {4, 1, 66, 0.7},   {5, 1, 69, 0.7},     {6, 2, 71, 0.8},                           //
      {8, 1.5, 74, 0.8}, {9.5, 0.5, 71, 0.6}, {10, 1, 69, 0.7},   {11, 1, 66, 0.65},     // Bm
      {12, 3, 69, 0.75},                                                                 //
      {16, 1, 71, 0.7},  {17, 1, 74, 0.75},   {18, 1.5, 76, 0.8}, {19.5, 0.5, 74, 0.6},  // G
      {20, 2, 71, 0.75}, {22, 2, 69, 0.7},                                               //
      {24, 1, 66, 0.7},  {25, 1, 64, 0.65},   {26, 1, 69, 0.7},   {27, 1, 71, 0.7},      // A
      {28, 1, 69, 0.7},  {29, 3, 64, 0.65}};
  Play(
      tune, WithEcho(melody, 1.5, 0.28, 0.08), beatSamples, true,
      [&](const Note& n) { return voices::Pluck(rate, voices::NoteHz(n.midi)); }, 1.0);
  synth::Normalize({&tune}, 0.42);
  synth::StartBefore(tune, 1, rate, 0);  // the pads' tails ring on across the top
  return tune;
}

}  // namespace demo::tunes
