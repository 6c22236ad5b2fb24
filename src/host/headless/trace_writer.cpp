#include "host/headless/trace_writer.h"

#include <cstdio>
#include <cstring>

#include "host/write_failure.h"

namespace kaze::host {

namespace {

// Length of the valid UTF-8 sequence at the start of `text`, or 0.
size_t Utf8Length(std::string_view text) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  size_t length = lead < 0x80                    ? 1
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  if (length == 3) {  // no overlong forms, no surrogates
    if (lead == 0xE0 && byte(1) < 0xA0) return 0;
    if (lead == 0xED && byte(1) >= 0xA0) return 0;
  }
  if (length == 4) {
    if (lead == 0xF0 && byte(1) < 0x90) return 0;
    if (lead == 0xF4 && byte(1) >= 0x90) return 0;
  }
  return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    unsigned char c = static_cast<unsigned char>(text[0]);
    size_t length = Utf8Length(text);
    if (length == 0) {
      out += "\\ufffd";
      text.remove_prefix(1);
      continue;
    }
    if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  out += '"';
  return out;
}

bool TraceWriter::Open(const std::string& path, bool keepLines, std::string& error) {
  keepLines_ = keepLines;
  if (path.empty()) return true;
  if (!file_.Open(path)) {
    error = "cannot write the trace " + path + ": " + std::strerror(file_.Error());
    return false;
  }
  return true;
}

void TraceWriter::Write(uint64_t time, std::string_view event, std::initializer_list<TraceField> fields) {
  std::string line = "{\"t\":" + std::to_string(time) + ",\"ev\":" + JsonString(event);
  for (const TraceField& field : fields) {
    line += ',';  // (appended piece by piece: GCC 12 warns falsely about "," + string at -O3)
    line += JsonString(field.key);
    line += ':';
    if (const auto* number = std::get_if<int64_t>(&field.value))
      line += std::to_string(*number);
    else if (const auto* flag = std::get_if<bool>(&field.value))
      line += *flag ? "true" : "false";
    else
      line += JsonString(std::get<std::string_view>(field.value));
  }
  line += "}\n";
  std::lock_guard lock(mutex_);
  if (file_.IsOpen() && !file_.Failed()) {
    if (file_.Write(line.data(), line.size())) {
      lineEnds_.push_back(given_ += line.size());
      SettleLineEnds();
    } else {
      Fail();
    }
  }
  line.pop_back();
  if (keepLines_) lines_.push_back(std::move(line));
}

void TraceWriter::SettleLineEnds() {
  while (!lineEnds_.empty() && lineEnds_.front() <= file_.Written()) {
    wholeLines_ = lineEnds_.front();
    lineEnds_.pop_front();
  }
}

// The first failed write: said once for the run; the file keeps the whole
// lines that reached it.
void TraceWriter::Fail() {
  SettleLineEnds();
  TheWriteFailures().Report("the trace", file_.Path(), file_.Error());
  if (file_.IsRegular() && !file_.Truncate(wholeLines_)) file_.Remove();
}

void TraceWriter::Close() {
  std::lock_guard lock(mutex_);
  if (!file_.IsOpen()) return;
  if (!file_.Failed() && !file_.Flush()) Fail();
  if (file_.Failed()) {
    file_.Close();
  } else if (!file_.Close()) {
    // What the system lost at the close cannot be told apart.
    TheWriteFailures().Report("the trace", file_.Path(), file_.Error());
    file_.Remove();
  }
}

void TraceWriter::Discard() {
  std::lock_guard lock(mutex_);
  file_.Remove();
}

std::vector<std::string> TraceWriter::Lines() {
  std::lock_guard lock(mutex_);
  return lines_;
}

}  // namespace kaze::host
