#include "folder_proof.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "file_writes.h"
#include "folder_marker.h"

namespace demo {

namespace fs = std::filesystem;

namespace {

struct Entry {
  std::string path;  // below the folder
  fs::file_type type = fs::file_type::none;
  uint64_t size = 0;
};

// What the tool knows of a file it may have written: the sizes and CRC-32s
// it had (by the marker, by today's bytes), or that today's set has one
// there whose bytes are not drawn yet.
struct Known {
  std::vector<MarkedFile> versions;
  bool undrawn = false;
};
using Vouched = std::map<std::string, Known>;

std::optional<std::vector<MarkedFile>> ReadMarker(const fs::path& data) {
  const fs::path marker = data / kMarkerName;
  std::error_code code;
  if (!fs::is_regular_file(fs::symlink_status(marker, code))) return std::nullopt;
  std::ifstream in(marker, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return ParseMarker(text);
}

std::optional<uint32_t> FileCrc(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<char> buffer(1 << 16);
  uint32_t crc = 0;
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
    crc = Crc32(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<size_t>(in.gcount()), crc);
  if (in.bad()) return std::nullopt;
  return crc;
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every entry below `data`, links not followed, in path order.
bool ListEntries(const fs::path& data, std::vector<Entry>& entries, std::string& error) {
  std::error_code code;
  for (fs::recursive_directory_iterator it(data, code), end; !code && it != end; it.increment(code)) {
    Entry entry{it->path().lexically_relative(data).generic_string()};
    entry.type = it->symlink_status(code).type();
    if (!code && entry.type == fs::file_type::regular) entry.size = it->file_size(code);
    if (code) break;
    entries.push_back(std::move(entry));
  }
  if (code) {
    error = "cannot read " + data.string() + ": " + code.message();
    return false;
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
  return true;
}

// Why `entry` is not the tool's; nothing when it is, or `undecided` when
// only today's bytes can tell.
std::optional<std::string> Stranger(const fs::path& data, const Entry& entry, const Vouched& vouched,
                                    const std::set<std::string>& folders, bool& undecided) {
  switch (entry.type) {
    case fs::file_type::directory:
      if (folders.count(entry.path)) return std::nullopt;
      return "a folder this tool did not make";
    case fs::file_type::symlink:
      return "a symbolic link, which this tool never makes";
    case fs::file_type::regular:
      break;
    default:
      return "not a file this tool wrote";
  }
  if (entry.path == kMarkerName) return std::nullopt;
  if (EndsWith(entry.path, kPartialSuffix))
    return "left half written by a run that was cut short; remove it if it is not yours";
  const auto known = vouched.find(entry.path);
  if (known == vouched.end()) return "not a file this tool wrote";
  std::optional<uint32_t> crc;
  for (const MarkedFile& file : known->second.versions) {
    if (file.size != entry.size) continue;
    if (!crc) crc = FileCrc(data / entry.path);
    if (crc == file.crc) return std::nullopt;
  }
  if (known->second.undrawn) {
    undecided = true;
    return std::nullopt;
  }
  return "not as this tool wrote it";
}

Proof Refused(const fs::path& data, const fs::path& entry, const std::string& why, std::string& error) {
  error = entry.string() + ": " + why + "; " + data.string() +
          " is left as it is (this tool replaces only a data folder it made)";
  return Proof::NotOwn;
}

}  // namespace

Proof ProveOwnFolder(const fs::path& data, const TodaysSet& today, OwnFolder& own, std::string& error) {
  std::error_code code;
  const fs::file_status status = fs::symlink_status(data, code);
  if (fs::is_symlink(status)) return Refused(data, data, "a symbolic link, which this tool never makes", error);
  if (!fs::is_directory(status)) return Refused(data, data, "not a folder", error);
  Vouched vouched;
  if (std::optional<std::vector<MarkedFile>> marked = ReadMarker(data)) {
    own.marked = std::move(*marked);
    for (const MarkedFile& file : own.marked) vouched[file.path].versions.push_back(file);
  } else if (today.files) {
    for (const DemoFile& file : *today.files) {
      const uint32_t crc = Crc32(file.bytes.data(), file.bytes.size());
      vouched[file.path].versions.push_back({file.path, file.bytes.size(), crc});
    }
  } else {
    for (const std::string& path : today.paths) vouched[path].undrawn = true;
  }
  std::set<std::string> folders;
  for (const auto& [path, files] : vouched)
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
      folders.insert(path.substr(0, slash));

  std::vector<Entry> entries;
  if (!ListEntries(data, entries, error)) return Proof::NotOwn;
  bool undecided = false;
  for (const Entry& entry : entries) {
    if (std::optional<std::string> why = Stranger(data, entry, vouched, folders, undecided))
      return Refused(data, data / entry.path, *why, error);
    (entry.type == fs::file_type::directory ? own.folders : own.files).push_back(entry.path);
  }
  return undecided ? Proof::NeedsTodaysBytes : Proof::Own;
}

}  // namespace demo
