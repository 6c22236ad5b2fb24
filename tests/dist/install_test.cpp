// `cmake --install` into a fresh prefix: the program, its data set, its
// manual page, desktop entry, icons, metainfo and documents; the installed
// program plays from an empty folder, and only from what is installed. The
// folders are the configured ones: bin/ and share/kaze by default, games/
// and share/games/kaze in the Debian package's build, which runs this too.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "cli/options.h"
#include "support/kaze_run.h"

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

const std::string kAppId = "io.github.kaze.Kaze";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The width and height a PNG file's header gives, 0x0 for anything else.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
  const std::string bytes = ReadText(path);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
  auto be32 = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | uint8_t(bytes[at + i]);
    return value;
  };
  return {be32(16), be32(20)};
}

// Runs a command line through the shell, in `folder`.
ProgramRun Shell(const fs::path& folder, const std::string& command) {
  return RunProgram({"/bin/sh", "-c", "cd \"$0\" && " + command, folder.string()});
}

// The installed program, headless, from `folder`, for a few seconds of the intro.
KazeRun PlayFrom(const fs::path& folder, const fs::path& program, std::vector<std::string> args = {}) {
  TempDir out;
  const fs::path trace = out.path() / "trace.jsonl";
  std::string command = "exec \"" + program.string() + "\" --headless --until 4000 --trace \"" + trace.string() + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  KazeRun run;
  static_cast<ProgramRun&>(run) = Shell(folder, command);
  run.traceText = ReadText(trace);
  run.trace = ParseTrace(run.traceText);
  return run;
}

// The installed README and the documents beside it link only to what is
// installed with them.
void ExpectEveryRelativeLinkResolves(const fs::path& doc) {
  ASSERT_TRUE(fs::is_regular_file(doc / "README.md"));
  const std::regex link(R"(\]\(([^)#\s]+)[^)]*\))");
  size_t links = 0;
  for (const fs::directory_entry& file : fs::recursive_directory_iterator(doc)) {
    if (file.path().extension() != ".md") continue;
    const std::string text = ReadText(file.path());
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      const std::string target = (*it)[1];
      if (target.find("://") != std::string::npos) continue;
      ++links;
      EXPECT_TRUE(fs::exists(file.path().parent_path() / target)) << file.path() << " links " << target;
    }
  }
  EXPECT_GE(links, 5u);
}

TEST(Install, PutsEveryPartUnderThePrefixAndTheProgramFindsItsDataThere) {
  TempDir prefix;
  ProgramRun install = RunProgram({KAZE_CMAKE, "--install", KAZE_BUILD_DIR, "--prefix", prefix.path().string()});
  ASSERT_EQ(install.exitCode, 0) << install.stderrText;

  const fs::path share = prefix.path() / "share";
  const fs::path program = prefix.path() / KAZE_CONFIGURED_BINDIR / "kaze";
  const fs::path data = prefix.path() / KAZE_CONFIGURED_DATA_SUBDIR;
  EXPECT_TRUE(fs::is_regular_file(program));
  EXPECT_TRUE(fs::is_regular_file(share / "man" / "man6" / "kaze.6"));
  // The desktop entry starts the program by its installed path, which need
  // not be on the session's PATH (/usr/games).
  const std::string entry = ReadText(share / "applications" / (kAppId + ".desktop"));
  EXPECT_NE(entry.find("\nExec=" + program.string() + "\n"), std::string::npos) << entry;
  EXPECT_TRUE(fs::is_regular_file(share / "metainfo" / (kAppId + ".metainfo.xml")));
  EXPECT_TRUE(fs::is_directory(data / "Data"));
  EXPECT_FALSE(fs::exists(data / "Data" / ".make-demo-data"));
  ExpectEveryRelativeLinkResolves(share / "doc" / "kaze");
  for (uint32_t size : {16u, 32u, 48u, 64u, 128u, 256u}) {
    const std::string edge = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(share / "icons" / "hicolor" / edge / "apps" / (kAppId + ".png")), std::make_pair(size, size))
        << edge;
  }

  // From an empty folder it plays the installed demo data, every picture found.
  TempDir empty;
  KazeRun played = PlayFrom(empty.path(), program);
  EXPECT_EQ(played.exitCode, 0) << played.stderrText;
  EXPECT_TRUE(Events(played.trace, "msgbox").empty()) << played.traceText;
  EXPECT_FALSE(Events(played.trace, "frame").empty());

  // A Data folder where it starts (any letter case) wins over the installed
  // one, and --data wins over both: here they are empty, so the loader
  // reports the first missing picture.
  TempDir here;
  fs::create_directory(here.path() / "DATA");
  TempDir given;
  fs::create_directory(given.path() / "Data");
  for (const KazeRun& run :
       {PlayFrom(here.path(), program), PlayFrom(empty.path(), program, {"--data", given.path().string()})}) {
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_FALSE(Events(run.trace, "msgbox").empty()) << run.traceText;
  }

  // Without its data set it names where it looked and ends, and it never
  // falls back on the build tree it was made in.
  fs::remove_all(data / "Data");
  if (!fs::exists(fs::path(KAZE_CONFIGURED_DATA_DIR) / "Data")) {
    const KazeRun none = PlayFrom(empty.path(), program);
    EXPECT_EQ(none.exitCode, 2);
    const std::string looked = data.string() + " and " KAZE_CONFIGURED_DATA_DIR "; give one with --data DIR\n";
    EXPECT_NE(none.stderrText.find(looked), std::string::npos) << none.stderrText;
    EXPECT_EQ(none.stderrText.find(KAZE_BUILD_DIR), std::string::npos) << none.stderrText;
  }
}

// The manual page, the desktop entry and the metainfo pass their own
// checkers; the page and --help name the keys. (That they name the same
// options is the command line's documentation test.)
TEST(Install, ManualPageDesktopEntryAndMetainfoAreValid) {
  const fs::path dist = fs::path(KAZE_SOURCE_DIR) / "dist";
  const fs::path page = dist / "kaze.6";
  TempDir here;
  ProgramRun man = Shell(here.path(), "MANWIDTH=80 man --warnings -l \"" + page.string() + "\" >/dev/null");
  EXPECT_EQ(man.exitCode, 0);
  EXPECT_EQ(man.stderrText, "");
  ProgramRun desktop = Shell(here.path(), "desktop-file-validate \"" + (dist / (kAppId + ".desktop")).string() + "\"");
  EXPECT_EQ(desktop.exitCode, 0) << desktop.stdoutText << desktop.stderrText;
  EXPECT_EQ(desktop.stdoutText + desktop.stderrText, "");
  ProgramRun metainfo =
      Shell(here.path(), "appstreamcli validate --no-net \"" + (dist / (kAppId + ".metainfo.xml")).string() + "\"");
  EXPECT_EQ(metainfo.exitCode, 0) << metainfo.stdoutText << metainfo.stderrText;

  const std::string roff = ReadText(page);
  const std::string help = cli::UsageText();
  for (const char* group : {"playing:", "screen:", "recording:", "testing:", "keys:"})
    EXPECT_NE(help.find(group), std::string::npos) << group;
  for (const char* key : {"ESC", "Alt+F4", "Alt+Enter", "F11", "F12"}) {
    EXPECT_NE(help.find(key), std::string::npos) << key;
    EXPECT_NE(roff.find(key), std::string::npos) << key;
  }
}

}  // namespace
}  // namespace kaze::test
