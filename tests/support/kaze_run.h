// Helpers for tests that run the built kaze binary (KAZE_BINARY) headless
// and read its trace.
//
//   TempDir dir;                                  // a fresh folder, removed afterwards
//   KazeRun run = RunKaze({"--until", "2000"});   // adds --headless, a trace file and,
//                                                 // without --data, an empty data set
//   KazeRun esc = RunKaze({}, "1000 key ESC\n");  // with an input script
//   run.exitCode, run.stderrText, run.traceText, run.trace
//   for (const TraceLine& line : Events(run.trace, "msgbox")) line.Str("text") ...
//   const TraceLine* exit = Last(run.trace, "exit"); exit->Int("flips")
//   RunProgram({KAZE_BINARY, "--bogus"}) runs any command line as given.
//
// TraceLine reads one flat JSON object (strings, integers, booleans), which
// is every line the trace holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Test binaries know the program's path; the default below is taken where
// the call is made.
#ifndef KAZE_BINARY
#define KAZE_BINARY ""
#endif

namespace kaze::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes a file below the folder and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& contents) const;

 private:
  std::filesystem::path path_;
};

struct TraceLine {
  int64_t t = -1;
  std::string ev;
  std::map<std::string, std::string> strings;
  std::map<std::string, int64_t> integers;
  std::map<std::string, bool> booleans;
  std::string text;  // the line as written

  bool Has(const std::string& key) const;
  std::string Str(const std::string& key) const;  // "" when absent
  int64_t Int(const std::string& key) const;      // -1 when absent
  bool Bool(const std::string& key) const;        // false when absent
};

// Parses one trace line; nothing for text that is not a flat JSON object.
std::optional<TraceLine> ParseTraceLine(const std::string& text);
std::vector<TraceLine> ParseTrace(const std::string& text);

std::vector<TraceLine> Events(const std::vector<TraceLine>& trace, const std::string& ev);
const TraceLine* Last(const std::vector<TraceLine>& trace, const std::string& ev);

struct ProgramRun {
  int exitCode = -1;  // -1: did not exit normally
  std::string stdoutText;
  std::string stderrText;
};

// Runs argv[0] with the arguments, waits for it, collects its output; with
// XDG_CONFIG_HOME at an empty folder, so that the tester's settings are
// never read or written.
ProgramRun RunProgram(const std::vector<std::string>& argv);

struct KazeRun : ProgramRun {
  std::string traceText;
  std::vector<TraceLine> trace;
};

// Runs KAZE_BINARY --headless --trace <temp> [--script <temp>] args...
// [--data <temp>]: a run that names no data set gets an empty one, so that
// every picture is missing whatever the program would find by itself.
KazeRun RunKaze(const std::vector<std::string>& args, const std::string& script = "",
                const std::string& binary = KAZE_BINARY);

}  // namespace kaze::test
