#include "folder_marker.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace demo {

namespace {

constexpr std::string_view kFirstLine =
    "make-demo-data 2: the files this tool wrote here; it replaces this folder only while they are unchanged\n";
constexpr std::string_view kEnd = "end ";

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
  return text;
}

template <typename Number>
bool ParseWhole(std::string_view text, Number& value, int base) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

// A path the tool could have written: relative, no "." or ".." parts.
bool IsPlainPath(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.back() == '/') return false;
  for (size_t start = 0; start <= path.size();) {
    size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return true;
}

// "<crc> <size> <path>"
std::optional<MarkedFile> ParseLine(std::string_view line) {
  const size_t first = line.find(' ');
  const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || first != 8) return std::nullopt;
  MarkedFile file;
  file.path = std::string(line.substr(second + 1));
  if (!ParseWhole(line.substr(0, first), file.crc, 16) ||
      !ParseWhole(line.substr(first + 1, second - first - 1), file.size, 10) || !IsPlainPath(file.path))
    return std::nullopt;
  return file;
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t crc) {
  while (size > 0) {
    const uInt step = static_cast<uInt>(std::min<size_t>(size, std::numeric_limits<uInt>::max()));
    crc = static_cast<uint32_t>(crc32(crc, bytes, step));
    bytes += step;
    size -= step;
  }
  return crc;
}

std::string FormatMarker(const std::vector<MarkedFile>& files) {
  std::string text(kFirstLine);
  for (const MarkedFile& file : files)
    text += Hex8(file.crc) + " " + std::to_string(file.size) + " " + file.path + "\n";
  const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return text + std::string(kEnd) + Hex8(crc) + "\n";
}

std::optional<std::vector<MarkedFile>> ParseMarker(std::string_view text) {
  if (text.substr(0, kFirstLine.size()) != kFirstLine || text.empty() || text.back() != '\n') return std::nullopt;
  const size_t last = text.rfind('\n', text.size() - 2) + 1;
  const std::string_view body = text.substr(0, last), end = text.substr(last, text.size() - last - 1);
  uint32_t crc = 0;
  if (end.substr(0, kEnd.size()) != kEnd || !ParseWhole(end.substr(kEnd.size()), crc, 16) ||
      end.size() != kEnd.size() + 8 || crc != Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()))
    return std::nullopt;
  std::vector<MarkedFile> files;
  for (size_t start = kFirstLine.size(); start < body.size();) {
    const size_t newline = body.find('\n', start);
    std::optional<MarkedFile> file = ParseLine(body.substr(start, newline - start));
    if (!file) return std::nullopt;
    files.push_back(std::move(*file));
    start = newline + 1;
  }
  return files;
}

}  // namespace demo
