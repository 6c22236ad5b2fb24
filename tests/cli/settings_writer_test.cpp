// Alt+Enter and F11 remembered in the player's settings file: only the line
// that makes the choice changes, and a failed write leaves the old file.
#include "cli/settings_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "support/file_bytes.h"
#include "support/kaze_run.h"
#include "support/limited_child.h"

namespace kaze::cli {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

TEST(SettingsWriter, ChangesOnlyTheLineThatMakesTheChoiceOrAddsOne) {
  const std::string mine = "# my kaze\r\n  window = true   \r\nscale = 2 \n\n# the end";
  EXPECT_EQ(WithScreenChoice(mine, true), "# my kaze\r\nfullscreen = true\r\nscale = 2 \n\n# the end");
  EXPECT_EQ(WithScreenChoice(mine, false), mine) << "already so";
  EXPECT_EQ(WithScreenChoice("fullscreen = true\nwindow = false\nmute = true\n", false),
            "fullscreen = true\nwindow = true\nmute = true\n")
      << "the last line that makes the choice is the one that counts";
  EXPECT_EQ(WithScreenChoice("window = maybe\n# window = true", true),
            "window = maybe\n# window = true\nfullscreen = true\n");
  EXPECT_EQ(WithScreenChoice("", false), "window = true\n");
}

TEST(SettingsWriter, MakesFolderAndFileKeepsModeAndWritesThroughALink) {
  TempDir dir;
  const fs::path file = dir.path() / "config" / "kaze" / "kaze.conf";
  std::string error;
  ASSERT_TRUE(RememberScreenChoice(file, false, error)) << error;
  EXPECT_EQ(ReadAll(file), "window = true\n");

  const fs::path dotfiles = dir.Write("dotfiles-kaze.conf", "# kept\nscale = 3\nfullscreen = true\n");
  chmod(dotfiles.c_str(), 0640);
  fs::remove(file);
  fs::create_symlink("../../dotfiles-kaze.conf", file);
  ASSERT_TRUE(RememberScreenChoice(file, false, error)) << error;
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(ReadAll(dotfiles), "# kept\nscale = 3\nwindow = true\n");
  EXPECT_EQ(fs::status(dotfiles).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "a temporary file was left behind";

  EXPECT_FALSE(RememberScreenChoice("/dev/null", true, error));
  EXPECT_EQ(error, "cannot remember the screen choice in /dev/null: not a regular file");
}

// One line naming the file, the old file as it was, nothing else left.
TEST(SettingsWriter, AWriteThatFailsIsOneLineAndLeavesTheOldFile) {
  TempDir dir;
  const std::string old = "# a long comment that a small size limit will not let through again\nwindow = true\n";
  const fs::path file = dir.Write("kaze.conf", old);
  const test::ChildRun full = test::RunWithFileLimit(16, [&] {
    std::signal(SIGXFSZ, SIG_IGN);  // as the program does
    std::string error;
    if (RememberScreenChoice(file, true, error)) return 1;
    std::fprintf(stderr, "kaze: %s\n", error.c_str());
    return 0;
  });
  EXPECT_EQ(full.exitCode, 0);
  EXPECT_EQ(full.stderrText, "kaze: cannot remember the screen choice in " + file.string() + ": File too large\n");
  EXPECT_EQ(ReadAll(file), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);

  // A folder the player may not write (root may write any).
  if (geteuid() == 0) return;
  chmod(dir.path().c_str(), 0555);
  std::string error;
  EXPECT_FALSE(RememberScreenChoice(file, true, error));
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(error, "cannot remember the screen choice in " + file.string() + ": Permission denied");
  EXPECT_EQ(ReadAll(file), old);
}

}  // namespace
}  // namespace kaze::cli
