// Whole games on the headless backend, from the title to an end screen, with the real assets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "game/end_screens.h"
#include "tools/jedreplay/key_script.h"
#include "tools/jedreplay/replay.h"

namespace {

class GameRunTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(chdir(JED_ASSET_DIR), 0) << "assets not generated in " << JED_ASSET_DIR; }

  static ReplayResult Play(ReplayOptions::Driver driver) {
    ReplayOptions options;
    options.driver = driver;
    options.max_frames = 60000;
    return RunReplay(options);
  }
  // The end screen's line that starts with `prefix`, or "".
  static std::string EndLine(const ReplayResult& r, const std::string& prefix) {
    for (const std::string& text : r.end_screen_texts)
      if (text.rfind(prefix, 0) == 0) return text;
    return "";
  }
  static void ExpectSameRun(const ReplayResult& a, const ReplayResult& b) {
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.frame_counter, b.frame_counter);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.health, b.health);
    EXPECT_EQ(a.rage, b.rage);
    EXPECT_EQ(a.knockouts, b.knockouts);
    EXPECT_EQ(a.end_screen_texts, b.end_screen_texts);
  }
};

TEST_F(GameRunTest, AutoplayerWinsFromTitleToVictoryTheSameWayEveryTime) {
  const ReplayResult first = Play(ReplayOptions::Driver::Autoplay);
  SCOPED_TRACE(DescribeResult(first));
  EXPECT_FALSE(first.cut_short);
  EXPECT_EQ(first.phase, GamePhase::Finished);
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_TRUE(first.won);
  EXPECT_FALSE(first.lost);
  EXPECT_EQ(first.screen, 12);
  EXPECT_GT(first.health, 0);
  EXPECT_GT(first.knockouts, 0);
  EXPECT_EQ(first.score, first.knockouts * 10 * first.multiplier);

  // The victory screen's lines, with the numbers it worked out.
  ASSERT_EQ(first.end_screen_texts.size(), 6u);
  EXPECT_EQ(first.end_screen_texts[2], "To be continued...");
  const std::string finish = EndLine(first, "Finish Time: ");
  ASSERT_FALSE(finish.empty());
  const int finish_time = std::stoi(finish.substr(13));
  EXPECT_GT(finish_time, 0);
  EXPECT_EQ(first.multiplier, ScoreMultiplierFor(180, finish_time, 1));
  EXPECT_EQ(EndLine(first, "Earned Score Multiplier: "),
            "Earned Score Multiplier: " + std::to_string(first.multiplier));
  EXPECT_EQ(EndLine(first, "Final Score: "), "Final Score: " + std::to_string(first.score));

  ExpectSameRun(first, Play(ReplayOptions::Driver::Autoplay));
}

TEST_F(GameRunTest, StandingStillEndsOnTheGameOverScreenTheSameWayEveryTime) {
  const ReplayResult first = Play(ReplayOptions::Driver::StandStill);
  SCOPED_TRACE(DescribeResult(first));
  EXPECT_FALSE(first.cut_short);
  EXPECT_EQ(first.phase, GamePhase::Finished);
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_TRUE(first.lost);
  EXPECT_FALSE(first.won);
  EXPECT_LE(first.health, 0);
  EXPECT_EQ(first.score, 0);
  EXPECT_TRUE(first.end_screen_texts.empty()) << "the game-over screen shows its picture only";
  ExpectSameRun(first, Play(ReplayOptions::Driver::StandStill));
}

// The replay tool's own inputs: key scripts take plain frame numbers only, and a screenshot
// that was asked for and not written is reported, never passed over in silence.
TEST_F(GameRunTest, ScriptsRefuseBadFrameNumbersAndMissedShotsAreReported) {
  for (const char* bad : {"-5 right", "+5 right", "1--5 right", "0 left", "99999999999999999999999 up", "4-2 up"}) {
    KeyScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(bad, &error)) << bad;
    EXPECT_NE(error.find("bad frame range"), std::string::npos) << bad;
  }
  ReplayOptions options;
  options.driver = ReplayOptions::Driver::Script;
  std::string error;
  ASSERT_TRUE(options.script.Parse("3-7 left right\n12 enter\n", &error)) << error;
  EXPECT_EQ(options.script.last_frame(), 12u);
  options.max_frames = 40;
  const std::string written = testing::TempDir() + "replay_shot.png";
  std::filesystem::remove(written);
  options.shots = {{5, written}, {6, "/nonexistent/dir/shot.png"}, {100000, testing::TempDir() + "never.png"}};
  const ReplayResult r = RunReplay(options);
  EXPECT_TRUE(std::filesystem::exists(written));
  ASSERT_EQ(r.shot_failures.size(), 2u);
  EXPECT_NE(r.shot_failures[0].find("/nonexistent/dir/shot.png: could not be written"), std::string::npos);
  EXPECT_NE(r.shot_failures[1].find("frame 100000 was never shown"), std::string::npos);
}

}  // namespace
