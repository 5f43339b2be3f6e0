// Whole games on the headless backend, from the title to an end screen, with the real assets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

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
  static bool Showed(const ReplayResult& r, const std::string& text) {
    return std::find(r.last_texts.begin(), r.last_texts.end(), text) != r.last_texts.end();
  }
  static void ExpectSameRun(const ReplayResult& a, const ReplayResult& b) {
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.frame_counter, b.frame_counter);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.health, b.health);
    EXPECT_EQ(a.rage, b.rage);
    EXPECT_EQ(a.knockouts, b.knockouts);
    EXPECT_EQ(a.last_texts, b.last_texts);
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
  EXPECT_TRUE(Showed(first, "To be continued..."));
  EXPECT_TRUE(Showed(first, "Finish Time: " + std::to_string(first.frame_counter)));
  EXPECT_TRUE(Showed(first, "Earned Score Multiplier: " + std::to_string(first.multiplier)));
  EXPECT_TRUE(Showed(first, "Final Score: " + std::to_string(first.score)));

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
  ExpectSameRun(first, Play(ReplayOptions::Driver::StandStill));
}

}  // namespace
