#include "cli/settings_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/settings_file.h"

namespace kaze::cli {

namespace fs = std::filesystem;

namespace {

// Where the last line that makes the choice lies ([begin, end) without its
// line end), and which choice it makes; found false when no line does.
struct ChoiceLine {
  bool found = false;
  size_t begin = 0, end = 0;
  bool fullscreen = false;
};

ChoiceLine FindChoiceLine(const std::string& text) {
  ChoiceLine choice;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const size_t contentEnd = end > begin && text[end - 1] == '\r' ? end - 1 : end;
    std::string name, value;
    const bool setting = SplitSettingLine(text.substr(begin, contentEnd - begin), name, value) == SettingLine::Setting;
    if (setting && (name == "window" || name == "fullscreen") && (value == "true" || value == "false"))
      choice = {true, begin, contentEnd, (name == "fullscreen") == (value == "true")};
    begin = end + 1;
  }
  return choice;
}

// The final target of a chain of symbolic links (the path itself when it is
// none), so that a linked dotfile stays a link.
bool ResolveLinks(fs::path& path, std::string& reason) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(path, error)) return true;
    const fs::path link = fs::read_symlink(path, error);
    if (error) {
      reason = error.message();
      return false;
    }
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  reason = std::strerror(ELOOP);
  return false;
}

// A new file beside `target` that no one else uses; -1 with errno set.
int CreateTemporary(const fs::path& target, fs::path& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target.parent_path() / ("." + target.filename().string() + ".kaze-" + std::to_string(getpid()) + "-" +
                                        std::to_string(attempt));
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// `text` into a fresh file with the old file's mode and owner (when there
// is one), on the disk before it is renamed over `target`.
bool Replace(const fs::path& target, const std::string& text, const struct stat* old, std::string& reason) {
  fs::path temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  bool written = true;
  if (old != nullptr) {
    written = fchmod(fd, old->st_mode & 07777) == 0;
    [[maybe_unused]] const int owned = fchown(fd, old->st_uid, old->st_gid);  // root writing a player's file
  }
  for (size_t done = 0; written && done < text.size();) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    written = put > 0;
    if (written) done += size_t(put);
  }
  written = written && fsync(fd) == 0;
  const int writeError = errno;
  written = close(fd) == 0 && written;
  if (written && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
  reason = std::strerror(written ? errno : writeError);
  unlink(temporary.c_str());
  return false;
}

}  // namespace

std::string WithScreenChoice(const std::string& text, bool fullscreen) {
  const ChoiceLine line = FindChoiceLine(text);
  const std::string chosen = fullscreen ? "fullscreen = true" : "window = true";
  if (line.found && line.fullscreen == fullscreen) return text;
  if (line.found) return text.substr(0, line.begin) + chosen + text.substr(line.end);
  const bool needsEnd = !text.empty() && text.back() != '\n';
  return text + (needsEnd ? "\n" : "") + chosen + "\n";
}

bool RememberScreenChoice(const fs::path& file, bool fullscreen, std::string& error) {
  fs::path target = file;
  std::string reason;
  auto fail = [&](const std::string& why) {
    error = "cannot remember the screen choice in " + target.string() + ": " + why;
    return false;
  };
  if (!ResolveLinks(target, reason)) return fail(reason);
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return fail(std::strerror(errno));
  // Never a device or folder named with --config (such as /dev/null).
  if (exists && !S_ISREG(old.st_mode)) return fail("not a regular file");
  std::string text;
  if (exists) {
    if (const int readError = ReadFileText(target, text); readError != 0) return fail(std::strerror(readError));
  }
  const std::string changed = WithScreenChoice(text, fullscreen);
  if (exists && changed == text) return true;
  std::error_code made;
  if (!target.parent_path().empty()) fs::create_directories(target.parent_path(), made);
  if (made) return fail(made.message());
  return Replace(target, changed, exists ? &old : nullptr, reason) || fail(reason);
}

}  // namespace kaze::cli
