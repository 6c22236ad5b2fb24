#include "support/kaze_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/file_bytes.h"

namespace kaze::test {

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  bool Object(TraceLine& line) {
    if (!Eat('{')) return false;
    if (Eat('}')) return AtEnd();
    do {
      std::string key;
      if (!String(key) || !Eat(':')) return false;
      if (!Value(key, line)) return false;
    } while (Eat(','));
    return Eat('}') && AtEnd();
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r')) ++pos_;
  }
  bool Eat(char c) {
    Skip();
    if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
    return false;
  }
  bool AtEnd() {
    Skip();
    return pos_ == text_.size();
  }
  bool String(std::string& out) {
    if (!Eat('"')) return false;
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) return false;
      char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          if (pos_ + 4 > text_.size()) return false;
          uint32_t code = static_cast<uint32_t>(std::stoul(text_.substr(pos_, 4), nullptr, 16));
          pos_ += 4;
          AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }
  bool Value(const std::string& key, TraceLine& line) {
    Skip();
    if (pos_ >= text_.size()) return false;
    if (text_[pos_] == '"') {
      std::string value;
      if (!String(value)) return false;
      if (key == "ev") line.ev = value;
      line.strings[key] = value;
      return true;
    }
    if (text_.compare(pos_, 4, "true") == 0) return pos_ += 4, line.booleans[key] = true, true;
    if (text_.compare(pos_, 5, "false") == 0) return pos_ += 5, line.booleans[key] = false, true;
    size_t end = pos_;
    if (end < text_.size() && text_[end] == '-') ++end;
    while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') ++end;
    if (end == pos_) return false;
    int64_t value = std::stoll(text_.substr(pos_, end - pos_));
    pos_ = end;
    if (key == "t") line.t = value;
    line.integers[key] = value;
    return true;
  }

  const std::string& text_;
  size_t pos_ = 0;
};

}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("kaze-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& contents) const {
  std::filesystem::path file = path_ / name;
  std::ofstream(file, std::ios::binary) << contents;
  return file;
}

bool TraceLine::Has(const std::string& key) const {
  return strings.count(key) || integers.count(key) || booleans.count(key);
}
std::string TraceLine::Str(const std::string& key) const {
  auto it = strings.find(key);
  return it == strings.end() ? "" : it->second;
}
int64_t TraceLine::Int(const std::string& key) const {
  auto it = integers.find(key);
  return it == integers.end() ? -1 : it->second;
}
bool TraceLine::Bool(const std::string& key) const {
  auto it = booleans.find(key);
  return it != booleans.end() && it->second;
}

std::optional<TraceLine> ParseTraceLine(const std::string& text) {
  TraceLine line;
  line.text = text;
  JsonReader reader(text);
  try {
    if (!reader.Object(line)) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return line;
}

std::vector<TraceLine> ParseTrace(const std::string& text) {
  std::vector<TraceLine> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    auto parsed = ParseTraceLine(line);
    lines.push_back(parsed ? *parsed : TraceLine{-1, "unparsable", {}, {}, {}, line});
  }
  return lines;
}

std::vector<TraceLine> Events(const std::vector<TraceLine>& trace, const std::string& ev) {
  std::vector<TraceLine> found;
  for (const TraceLine& line : trace)
    if (line.ev == ev) found.push_back(line);
  return found;
}

const TraceLine* Last(const std::vector<TraceLine>& trace, const std::string& ev) {
  for (auto it = trace.rbegin(); it != trace.rend(); ++it)
    if (it->ev == ev) return &*it;
  return nullptr;
}

ProgramRun RunProgram(const std::vector<std::string>& argv) {
  TempDir dir;
  const std::filesystem::path out = dir.path() / "stdout", err = dir.path() / "stderr";
  ProgramRun run;
  pid_t child = fork();
  if (child == 0) {
    int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(outFd, 1);
    dup2(errFd, 2);
    setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.stdoutText = ReadAll(out);
  run.stderrText = ReadAll(err);
  return run;
}

KazeRun RunKaze(const std::vector<std::string>& args, const std::string& script, const std::string& binary) {
  TempDir dir;
  std::vector<std::string> argv = {binary, "--headless", "--trace", (dir.path() / "trace.jsonl").string()};
  if (!script.empty()) {
    argv.push_back("--script");
    argv.push_back(dir.Write("script.txt", script).string());
  }
  argv.insert(argv.end(), args.begin(), args.end());
  const bool dataGiven =
      std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg.rfind("--data", 0) == 0; });
  if (!dataGiven) {
    std::filesystem::create_directory(dir.path() / "Data");
    argv.insert(argv.end(), {"--data", dir.path().string()});
  }
  KazeRun run;
  static_cast<ProgramRun&>(run) = RunProgram(argv);
  run.traceText = ReadAll(dir.path() / "trace.jsonl");
  run.trace = ParseTrace(run.traceText);
  return run;
}

}  // namespace kaze::test
