// The options screen played headless through the title: every setting changed by key presses,
// saved at once, read back from the file and in force; bindings that would clash are refused;
// the prompts name the keys bound now and, with the default keys, stay word for word.
#include "game/options_screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "game/key_labels.h"
#include "game/level_frame.h"
#include "game/settings.h"
#include "game/world.h"
#include "platform/desktop.h"
#include "sound/sound.h"
#include "tests/support/files.h"
#include "tools/jedreplay/replay.h"

using platform::Key;

namespace {

class OptionsScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = scratch_.path() / "settings.ini";
    RestoreDefaultSettings(&volumes_);
    EnableOptionsScreen(&volumes_, [this] { saves_ += SaveSettingsFile(path_, volumes_) ? 1 : 0; });
  }
  void TearDown() override {
    EnableOptionsScreen(nullptr, nullptr);
    RestoreDefaultSettings(&volumes_);
    SetEffectsVolume(100);
  }

  ReplayResult Play(const std::string& script_text) {
    EXPECT_EQ(chdir(JED_ASSET_DIR), 0);
    ReplayOptions options;
    options.driver = ReplayOptions::Driver::Script;
    options.max_frames = 2000;
    std::string error;
    EXPECT_TRUE(options.script.Parse(script_text, &error)) << error;
    return RunReplay(options);
  }

  std::string FileText() const {
    std::ifstream file(path_);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }

  static bool Shows(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  test_support::ScratchDir scratch_;
  std::string path_;
  SoundVolumes volumes_;
  int saves_ = 0;
};

TEST_F(OptionsScreenTest, EverySettingChangesByKeysIsSavedAtOnceAndReadsBack) {
  const ReplayResult run = Play(
      "5 press:O\n"
      "8 press:Left\n"                                 // music 90
      "10 press:Down\n12 press:Left\n14 press:Left\n"  // effects 80
      "16 press:Down\n18 press:Return\n"               // a window
      "20 press:Down\n22 press:Right\n"                // integer scaling
      "24 press:Down\n26 press:Return\n28 press:A\n"   // walk left = A
      "30 press:Down\n32 press:Return\n34 press:A\n"   // walk right = A: refused
      "36 press:Down\n38 press:Return\n40 press:O\n"   // jump = O: refused (opens the options)
      "42 press:Return\n44 press:W\n"                  // jump = W
      +
      [] {
        std::string downs;  // from the jump key on to the pad's jump row, 7 rows below
        for (int frame = 46; frame < 46 + 2 * 7; frame += 2) downs += std::to_string(frame) + " press:Down\n";
        return downs;
      }() +
      "70 press:Return\n72 pad:rightstick\n"  // pad jump = rightstick
      "74 press:Escape\n"                     // back to the title
      "80 escape\n");
  EXPECT_EQ(run.phase, GamePhase::Finished) << DescribeResult(run);
  EXPECT_EQ(volumes_.music, 90);
  EXPECT_EQ(volumes_.effects, 80);
  EXPECT_EQ(EffectsVolume(), 80) << "applied at once";
  EXPECT_FALSE(platform::CurrentDisplayMode().fullscreen);
  EXPECT_EQ(platform::CurrentDisplayMode().scaling, platform::Scaling::Integer);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Left), (std::vector<std::string>{"A"}));
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Right), (std::vector<std::string>{"Right"})) << "a clash is refused";
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Up), (std::vector<std::string>{"W"}));
  EXPECT_EQ(platform::PadControlNames(Key::Up), (std::vector<std::string>{"rightstick"}));
  EXPECT_EQ(saves_, 8) << "one save for each change, none for refusals";

  // The file holds it all: read into the defaults, everything comes back.
  SoundVolumes read_back;
  RestoreDefaultSettings(&read_back);
  LoadSettingsFile(path_, &read_back);
  EXPECT_EQ(read_back.music, 90);
  EXPECT_EQ(read_back.effects, 80);
  EXPECT_FALSE(platform::CurrentDisplayMode().fullscreen);
  EXPECT_EQ(platform::CurrentDisplayMode().scaling, platform::Scaling::Integer);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Left), (std::vector<std::string>{"A"}));
  EXPECT_EQ(platform::PadControlNames(Key::Up), (std::vector<std::string>{"rightstick"}));
  EXPECT_NE(FileText().find("walk_left = A\n"), std::string::npos) << FileText();
}

TEST_F(OptionsScreenTest, ResetPutsEveryDefaultBackAndSavesIt) {
  std::string unknown;
  ASSERT_TRUE(platform::BindKeyboardKeys(Key::Space, {"P"}, &unknown));
  volumes_.music = 20;
  platform::SetDisplayMode({false, 800, 600, platform::Scaling::Stretch});
  std::string script = "5 press:O\n";
  for (int frame = 7; frame < 7 + 2 * 18; frame += 2) script += std::to_string(frame) + " press:Down\n";
  script += "45 press:Return\n47 press:Escape\n55 escape\n";
  Play(script);
  EXPECT_EQ(volumes_.music, 100);
  EXPECT_EQ(platform::KeyboardKeyNames(Key::Space), (std::vector<std::string>{"Space"}));
  EXPECT_EQ(platform::CurrentDisplayMode(), platform::DisplayMode{});
  EXPECT_EQ(saves_, 1);
  EXPECT_NE(FileText().find("punch = Space\n"), std::string::npos);
  EXPECT_NE(FileText().find("music = 100\n"), std::string::npos);
}

TEST_F(OptionsScreenTest, ThePauseScreenOpensThemAndTheLevelGoesOnAfterwards) {
  const ReplayResult run = Play(
      "5 enter\n20 enter\n40-50 right\n60 enter\n"    // into the level, paused
      "64 press:O\n68 press:Left\n70 press:Escape\n"  // music 90 from the pause
      "75-80 space\n82-90 right\n95 escape\n");
  EXPECT_EQ(run.phase, GamePhase::Finished);
  EXPECT_EQ(volumes_.music, 90);
  EXPECT_EQ(Paused, 0) << "Space resumed the level after the options";
}

TEST_F(OptionsScreenTest, PromptsNameTheKeysBoundNowAndStayWordForWordWithTheDefaults) {
  EXPECT_EQ(PauseText(), PAUSE_TEXT);
  EXPECT_EQ(MovementControlText(), "Left/Right Arrows = Movement");
  EXPECT_EQ(JumpControlText(), "Up Arrow = Jump");
  EXPECT_EQ(PunchControlText(), "Space = Regular Attack");
  EXPECT_EQ(SpecialControlText(), "Shift = Special Attack(uses RAGE)");
  EXPECT_EQ(ContinuePromptText(), "*Press Enter to Continue*");

  std::string unknown;
  ASSERT_TRUE(platform::BindKeyboardKeys(Key::Space, {"P"}, &unknown));
  ASSERT_TRUE(platform::BindKeyboardKeys(Key::Left, {"A"}, &unknown));
  ASSERT_TRUE(platform::BindKeyboardKeys(Key::Enter, {"Tab", "Return"}, &unknown));
  EXPECT_EQ(PauseText(), "PAUSED:  Press P to return, ESCAPE to exit");
  EXPECT_EQ(PunchControlText(), "P = Regular Attack");
  EXPECT_EQ(MovementControlText(), "A, Right = Movement");
  EXPECT_EQ(ContinuePromptText(), "*Press Tab/Return to Continue*");

  // In the game: paused with P bound to punch, the pause line says P, and P resumes.
  const ReplayResult paused = Play("5 enter\n20 enter\n40-50 right\n60 enter\n70 escape\n");
  EXPECT_TRUE(Shows(paused.last_texts, "PAUSED:  Press P to return, ESCAPE to exit")) << DescribeResult(paused);
}

}  // namespace
