// Where the program finds its data set, and the one line it gives when
// there is none.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/data_folder.h"
#include "support/kaze_run.h"
#include "support/scene_data.h"

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

// The program, headless, started in `folder`; a run that should not start
// still ends at once when it does.
KazeRun RunIn(const fs::path& folder, const std::vector<std::string>& args, const std::string& until = "3000") {
  TempDir out;
  const fs::path trace = out.path() / "trace.jsonl";
  std::vector<std::string> argv = {"/bin/sh",       "-c",          "cd \"$0\" && shift && exec \"$@\"",
                                   folder.string(), "--",          KAZE_BINARY,
                                   "--headless",    "--until",     until,
                                   "--trace",       trace.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  KazeRun run;
  static_cast<ProgramRun&>(run) = RunProgram(argv);
  std::ifstream in(trace, std::ios::binary);
  run.traceText.assign(std::istreambuf_iterator<char>(in), {});
  run.trace = ParseTrace(run.traceText);
  return run;
}

void ExpectPlayedEveryPicture(const KazeRun& run) {
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  EXPECT_TRUE(Events(run.trace, "msgbox").empty()) << run.traceText;
  EXPECT_GT(Events(run.trace, "frame").size(), 1u) << "the intro's pictures";
}

TEST(DataSet, TheBuildTreesProgramPlaysItsBuildsDemoSetFromAFolderWithoutData) {
  TempDir empty;
  ExpectPlayedEveryPicture(RunIn(empty.path(), {}));
}

// The player named the Data folder itself (any letter case, with a slash
// or as "." from inside it): its parent holds the data set.
TEST(DataSet, TheDataFolderItselfIsTakenForTheFolderThatHoldsIt) {
  TempDir dir;
  SceneData(dir.path()).ScenePictures();
  fs::rename(dir.path() / "Data", dir.path() / "dATA");
  const fs::path data = dir.path() / "dATA";
  ExpectPlayedEveryPicture(RunIn(dir.path(), {"--data", data.string() + "/"}));
  ExpectPlayedEveryPicture(RunIn(data, {"--data", "."}));
  ExpectPlayedEveryPicture(RunIn(dir.path(), {"--data=dATA"}));
}

// Before any window: one English line that names where it looked, exit 2.
TEST(DataSet, AGivenFolderWithoutADataSetIsRefusedInOneLineNamingIt) {
  TempDir dir;
  const fs::path file = dir.Write("notes.txt", "x");
  fs::create_directory(dir.path() / "other");
  const std::string given = " (given with --data)";
  const std::vector<std::pair<fs::path, std::string>> refused = {
      {dir.path() / "other", "kaze: no data set: looked for a Data folder in " + (dir.path() / "other").string() +
                                 given + "; give the folder that holds it\n"},
      {file, "kaze: no data set: " + file.string() + given +
                 " is not a folder; give the folder that holds the Data folder\n"},
      {dir.path() / "gone", "kaze: no data set: " + (dir.path() / "gone").string() + given + " does not exist\n"},
  };
  for (const auto& [folder, line] : refused) {
    SCOPED_TRACE(folder.string());
    for (const bool headless : {true, false}) {
      std::vector<std::string> argv = {KAZE_BINARY, "--data", folder.string()};
      if (headless) argv.insert(argv.end(), {"--headless", "--until", "100"});
      const ProgramRun run = RunProgram(argv);
      EXPECT_EQ(run.exitCode, 2);
      EXPECT_EQ(run.stderrText, line);
    }
  }
  // A relative folder is named from the working directory.
  const KazeRun relative = RunIn(dir.path(), {"--data", "other"});
  EXPECT_EQ(relative.exitCode, 2);
  EXPECT_EQ(relative.stderrText, std::get<1>(refused[0]));
}

TEST(DataSet, TheOrderIsGivenThenWorkingDirectoryThenTheProgramsOwnAndNoneNamesEveryPlace) {
  TempDir root;
  auto folder = [&](const std::string& name, bool withData) {
    const fs::path path = root.path() / name;
    fs::create_directories(withData ? path / "DaTa" : path);
    return path;
  };
  const fs::path given = folder("given", true), here = folder("here", true), bare = folder("bare", false);
  const fs::path installed = folder("installed", true), demo = folder("demo", true), empty = folder("empty", false);
  const std::vector<cli::DataPlace> places = {{empty, ""}, {installed, ""}, {demo, "this build's demo set"}};
  std::string error;
  EXPECT_EQ(cli::FindDataSet(given.string(), here, places, error), given);
  EXPECT_EQ(cli::FindDataSet("", here, places, error), here);
  EXPECT_EQ(cli::FindDataSet("", bare, places, error), installed);
  EXPECT_EQ(cli::FindDataSet("", bare, {places[0], places[2]}, error), demo);
  EXPECT_EQ(cli::FindDataSet("", bare, {places[0]}, error), std::nullopt);
  EXPECT_EQ(error, "no data set: looked for a Data folder in " + bare.string() + " (the working directory) and " +
                       empty.string() + "; give one with --data DIR");
  EXPECT_EQ(cli::FindDataSet("", bare, {places[0], {root.path() / "nowhere", "this build's demo set"}}, error),
            std::nullopt);
  EXPECT_EQ(error, "no data set: looked for a Data folder in " + bare.string() + " (the working directory), " +
                       empty.string() + " and " + (root.path() / "nowhere").string() +
                       " (this build's demo set); give one with --data DIR");
}

// Told apart by the program's real path: a copy anywhere else looks where
// it is installed, never in this build tree.
TEST(DataSet, OnlyTheProgramOfTheBuildTreeLooksInItsDemoSet) {
  const fs::path program = fs::canonical(KAZE_BINARY), demo = fs::weakly_canonical(KAZE_DEMO_DIR);
  const std::vector<cli::DataPlace> built = cli::ProgramDataPlaces(program);
  ASSERT_EQ(built.size(), 1u);
  EXPECT_EQ(built[0].folder, demo);
  EXPECT_EQ(built[0].role, "this build's demo set");
  TempDir prefix;
  const std::vector<cli::DataPlace> installed = cli::ProgramDataPlaces(prefix.path() / "bin" / "kaze");
  ASSERT_FALSE(installed.empty());
  // First a folder in its own prefix (share/kaze, or share/games/kaze as the
  // Debian package configures it), so that a moved prefix still plays.
  const std::string inPrefix = fs::weakly_canonical(prefix.path()).string() + "/share/";
  EXPECT_EQ(installed[0].folder.string().rfind(inPrefix, 0), 0u) << installed[0].folder;
  for (const cli::DataPlace& place : installed) EXPECT_NE(place.folder, demo);
}

}  // namespace
}  // namespace kaze::test
