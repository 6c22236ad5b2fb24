#include "platform/kernel32/files.h"

#include <algorithm>
#include <string>
#include <vector>

#include "port_file.h"

namespace kaze::platform {

namespace {

std::filesystem::path gDataRoot = ".";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<std::string> SplitComponents(std::string_view path, bool& valid) {
  std::vector<std::string> parts;
  valid = !path.empty() && path.front() != '\\' && path.front() != '/' && path.find(':') == std::string_view::npos;
  size_t start = 0;
  while (valid && start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part == "..")
      valid = false;
    else if (!part.empty() && part != ".")
      parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

// The entry of `dir` named `name` in any letter case; the exact name wins,
// then the first match in sorted order, so the result does not depend on the
// order in which the file system lists the folder.
std::optional<std::filesystem::path> FindEntry(const std::filesystem::path& dir, const std::string& name) {
  std::error_code error;
  std::filesystem::path exact = dir / name;
  if (std::filesystem::exists(exact, error)) return exact;
  std::optional<std::filesystem::path> best;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringCase(entry, name) && (!best || entry < best->filename().string())) best = it->path();
  }
  return best;
}

}  // namespace

void SetDataRoot(std::filesystem::path root) { gDataRoot = std::move(root); }

const std::filesystem::path& DataRoot() { return gDataRoot; }

std::optional<std::filesystem::path> ResolveDataPath(std::string_view programPath) {
  bool valid = false;
  std::vector<std::string> parts = SplitComponents(programPath, valid);
  if (!valid || parts.empty()) return std::nullopt;
  std::filesystem::path current = gDataRoot;
  for (const std::string& part : parts) {
    std::optional<std::filesystem::path> next = FindEntry(current, part);
    if (!next) return std::nullopt;
    current = *next;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(current, error)) return std::nullopt;
  return current;
}

}  // namespace kaze::platform

std::FILE* PortOpenFile(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  std::optional<std::filesystem::path> resolved = kaze::platform::ResolveDataPath(path);
  return resolved ? std::fopen(resolved->c_str(), mode) : nullptr;
}
