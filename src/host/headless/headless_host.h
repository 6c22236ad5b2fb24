// The headless host: no devices. A virtual clock that moves only while every
// thread of the program sleeps, input from a script, a JSON Lines trace of
// what the program shows and says, PNG snapshots, a WAV of its audio and a
// video of its screen.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/headless/script.h"
#include "host/host.h"

namespace kaze::host {

// The audio mixer the headless machine has.
enum class HeadlessMixer : uint8_t {
  InMemory,  // one held in memory: the mixer code runs and is traced, nothing of the machine changes
  Machine,   // the machine's first sound card (--real-mixer)
  None,      // no mixer at all (--no-mixer)
};

struct HeadlessOptions {
  std::vector<ScriptAction> script;  // parsed input (see script.h)
  std::optional<uint64_t> untilMs;   // ESC is pressed at this time
  std::string tracePath;             // empty: no trace file
  bool keepTrace = false;            // keep the trace lines in memory too
  std::vector<uint64_t> snapTimes;   // ms at which the shown frame is written
  std::string snapDir;               // snapshots go to <dir>/snap-<ms>.png
  std::string audioOutPath;          // empty: the audio is mixed and dropped
  std::string recordPath;            // empty: no video (see y4m_writer.h)
  uint32_t startTick = 0;            // GetTickCount at virtual time 0
  int32_t desktopWidth = 1024, desktopHeight = 768;
  uint64_t runawayLimitMs = 60000;  // after --until: a run that goes on is stopped
  HeadlessMixer mixer = HeadlessMixer::InMemory;
};

class HeadlessHost;

// Null with a one-line reason when a file cannot be opened.
std::unique_ptr<HeadlessHost> CreateHeadlessHost(const HeadlessOptions& options, std::string& error);

// What a test may ask the host beyond the common interface.
class HeadlessHost : public Host {
 public:
  virtual uint64_t Now() const = 0;                   // virtual ms since the start
  virtual int64_t Flips() const = 0;                  // frames presented
  virtual std::vector<std::string> TraceLines() = 0;  // with keepTrace
  virtual std::vector<uint16_t> ShownFrame() = 0;     // 640x480, the last presented
  virtual bool CursorShown() const = 0;
};

}  // namespace kaze::host
