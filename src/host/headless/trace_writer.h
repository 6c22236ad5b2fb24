// The run's trace: JSON Lines, one object a line, each with the virtual time
// "t" in ms and the event "ev" first. Every write is checked (see
// write_failure.h): when one fails, the file is cut back to its last whole
// line and later lines are dropped.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "host/checked_file.h"
#include "host/host.h"

namespace kaze::host {

// `text` as a JSON string literal, quotes included. UTF-8 passes through;
// bytes that are not valid UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

class TraceWriter {
 public:
  ~TraceWriter() { Close(); }
  // Empty path: nothing is written. `keepLines` also keeps every line.
  bool Open(const std::string& path, bool keepLines, std::string& error);
  void Write(uint64_t time, std::string_view event, std::initializer_list<TraceField> fields);
  void Close();
  // Closes and removes the file (a run that did not start).
  void Discard();
  std::vector<std::string> Lines();

 private:
  void SettleLineEnds();  // with mutex_ held
  void Fail();            // with mutex_ held

  std::mutex mutex_;
  CheckedFile file_;
  bool keepLines_ = false;
  std::vector<std::string> lines_;
  // Where the lines end, to cut the file back to whole lines: the last end
  // known to be in the file, and those still on their way.
  uint64_t given_ = 0;
  uint64_t wholeLines_ = 0;
  std::deque<uint64_t> lineEnds_;
};

}  // namespace kaze::host
