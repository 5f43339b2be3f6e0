// The scores after a run, played headless: the run is added to the table, the screen asks for
// another run, and a run after that starts exactly as a fresh start (compared with jedreplay in
// a process of its own). Without the screen, the autoplayer's run ends as it always has.
#include "game/scores_screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "game/scores.h"
#include "tests/support/files.h"
#include "tools/jedreplay/replay.h"

namespace {

constexpr const char* kShortRun = "5 enter\n20 enter\n40-70 right\n80 space\n90 shift\n95 escape\n";

ReplayResult Play(const ReplayOptions& options) {
  EXPECT_EQ(chdir(JED_ASSET_DIR), 0);
  return RunReplay(options);
}

ReplayOptions Scripted(const char* text) {
  ReplayOptions options;
  options.driver = ReplayOptions::Driver::Script;
  std::string error;
  EXPECT_TRUE(options.script.Parse(text, &error)) << error;
  return options;
}

// The state line jedreplay prints for the script, from a process that played nothing before.
std::string FreshStateLine(const char* script_text) {
  char name[] = "/tmp/jed-fresh-XXXXXX.keys";
  const int fd = mkstemps(name, 5);
  EXPECT_GE(fd, 0);
  close(fd);
  std::ofstream(name) << script_text;
  const std::string command =
      std::string("cd ") + JED_ASSET_DIR + " && JED_HEADLESS=1 " + JED_REPLAY_PATH + " --script " + name;
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 512> chunk{};
    while (fgets(chunk.data(), chunk.size(), pipe)) output += chunk.data();
    pclose(pipe);
  }
  std::remove(name);
  return output.substr(output.rfind("phase="), output.find('\n', output.rfind("phase=")) - output.rfind("phase="));
}

TEST(ScoresScreenTest, ARunEndsInTheTableAndAnotherRunStartsAsAFreshOne) {
  const test_support::ScratchDir scratch;
  const std::string path = scratch.path() / "scores";
  EnableScoresScreen(path);
  ReplayOptions lose;
  lose.driver = ReplayOptions::Driver::StandStill;
  lose.max_frames = 20000;
  const ReplayResult lost = Play(lose);
  EXPECT_TRUE(lost.lost);
  EXPECT_FALSE(lost.cut_short) << "Space on the scores screen ended the run, not the frame limit";
  EXPECT_TRUE(TakeRetryRequest());
  EXPECT_FALSE(TakeRetryRequest()) << "asked once, answered once";
  std::vector<std::string> problems;
  const std::vector<ScoreEntry> table = ReadScores(path, &problems);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].score, lost.score);
  EXPECT_EQ(table[0].date, TodaysDate());

  // The next run, in the same process, as a fresh start plays it.
  const ReplayResult again = Play(Scripted(kShortRun));
  EnableScoresScreen("");
  EXPECT_EQ(DescribeResult(again), FreshStateLine(kShortRun));
}

TEST(ScoresScreenTest, WithoutTheScreenTheEndScreenEndsTheGameAsItAlwaysHas) {
  ReplayOptions lose;
  lose.driver = ReplayOptions::Driver::StandStill;
  const ReplayResult lost = Play(lose);
  EXPECT_TRUE(lost.lost);
  EXPECT_EQ(lost.phase, GamePhase::Finished);
  EXPECT_FALSE(lost.cut_short);
  EXPECT_FALSE(TakeRetryRequest());
}

}  // namespace
