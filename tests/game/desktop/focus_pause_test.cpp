// A lost focus pauses the level as Enter does, with the level's own pause text, and changes
// nothing outside the level. Played headless from key scripts with the recorded-run words.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "game/level_frame.h"
#include "game/world.h"
#include "tools/jedreplay/replay.h"

namespace {

ReplayResult Play(const std::string& script_text) {
  EXPECT_EQ(chdir(JED_ASSET_DIR), 0);
  ReplayOptions options;
  options.driver = ReplayOptions::Driver::Script;
  std::string error;
  EXPECT_TRUE(options.script.Parse(script_text, &error)) << error;
  return RunReplay(options);
}

bool Shows(const std::vector<std::string>& texts, const char* text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Enter through the title and the story, a walk into the level; the level then ends on Escape.
constexpr const char* kIntoTheLevel = "5 enter\n20 enter\n40-70 right\n";

TEST(FocusPauseTest, LostFocusInTheLevelShowsThePause) {
  const ReplayResult paused = Play(std::string(kIntoTheLevel) + "80 unfocus\n82-92 right\n95 escape\n");
  const float paused_x = Hero.x;
  EXPECT_EQ(paused.phase, GamePhase::Finished);
  EXPECT_TRUE(Shows(paused.last_texts, PAUSE_TEXT)) << DescribeResult(paused);

  const ReplayResult playing = Play(std::string(kIntoTheLevel) + "82-92 right\n95 escape\n");
  EXPECT_FALSE(Shows(playing.last_texts, PAUSE_TEXT)) << DescribeResult(playing);
  // Paused, the hero stood still while Right was held.
  EXPECT_LT(paused_x + 20, Hero.x);

  // Enter at the same frame pauses the same way: the same end, frame for frame.
  const ReplayResult entered = Play(std::string(kIntoTheLevel) + "80 enter\n82-92 right\n95 escape\n");
  EXPECT_EQ(DescribeResult(entered), DescribeResult(paused));
}

TEST(FocusPauseTest, LostFocusOutsideTheLevelChangesNothing) {
  const ReplayResult plain = Play(std::string(kIntoTheLevel) + "95 escape\n");
  const ReplayResult unfocused = Play("3 unfocus\n12 unfocus\n" + std::string(kIntoTheLevel) + "95 escape\n");
  EXPECT_EQ(DescribeResult(unfocused), DescribeResult(plain));
}

}  // namespace
