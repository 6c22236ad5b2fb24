// The run's trace: JSON Lines, one object a line, each with the virtual time
// "t" in ms and the event "ev" first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace kaze::host {

// `text` as a JSON string literal, quotes included. UTF-8 passes through;
// bytes that are not valid UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

class TraceWriter {
 public:
  // Empty path: nothing is written. `keepLines` also keeps every line.
  bool Open(const std::string& path, bool keepLines, std::string& error);
  void Write(uint64_t time, std::string_view event, std::initializer_list<TraceField> fields);
  void Close();
  std::vector<std::string> Lines();

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;
  bool keepLines_ = false;
  std::vector<std::string> lines_;
};

}  // namespace kaze::host
