// A scenario of the program on the headless host, in-process: this test's
// thread plays the main thread (the window, its message loop, the orderly
// end) and the game thread runs the given scenario instead of the whole
// scene loop, so that a test starts at the scene it is about. The pixels
// at chosen screen positions are recorded at every flip.
//
//   class MyTest : public ScenarioTest {};
//   TEST_F(MyTest, ...) {
//     const int code = PlayScenario(dir.path(), [] { PlayOpening(); }, "1000 click left 10 10\n", 30000,
//                                   {{320, 300}});
//     frames[i].pixels[0], SoundOf(7, "play") ...
//   }
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/headless_fixture.h"

namespace kaze::test {

// A screen position whose pixel is recorded at every flip.
struct Probe {
  int32_t x, y;
};

struct FlipRecord {
  uint64_t t;                    // virtual ms of the flip
  std::vector<uint16_t> pixels;  // one per probe, 5-6-5
};

struct ScenarioOptions {
  std::vector<Probe> probes;
  // Every flip moves the program's clock (GetTickCount) on by this many
  // milliseconds on top of the virtual time: a display that is slow to
  // flip, so that a frame lasts longer than its 20 ms of pacing.
  uint32_t slowFlipMs = 0;
};

class ScenarioTest : public HeadlessTest {
 protected:
  // Runs the program with `scenario` as the game thread's work, from the
  // scenario's state as at the program's start, with the input script,
  // until ESC at untilMs (or until the scenario returns); returns the
  // program's exit code. frames gets a record of every flip.
  int PlayScenario(const std::filesystem::path& root, void (*scenario)(), const std::string& script, uint64_t untilMs,
                   ScenarioOptions options = {});

  // Index of the first flip at or after t, or frames.size().
  size_t FlipAt(uint64_t t) const;
  // The sound events of one effect ("play", "stop", "volume"), found by the
  // order in which the effects were loaded.
  std::vector<TraceLine> SoundOf(int effect, const std::string& op);

  std::vector<FlipRecord> frames;
};

}  // namespace kaze::test
