// Whole level frames and the parts of the frame around the hero and thugs: pause, screen
// changes, the victory multiplier, the knockout cries.
#include "game/level_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/end_screens.h"
#include "game/game_text.h"
#include "game/hud.h"
#include "level_fixture.h"
#include "platform/backend.h"
#include "platform/window.h"

namespace {

using platform::Key;
using platform::KeyBit;

void DrainMessages() {
  platform::MSG msg{};
  while (platform::PeekMessage(&msg)) {
  }
}

class ScreenChangeTest : public LevelFixture {};

TEST_F(ScreenChangeTest, EdgesMoveTheViewAndShiftLiveThugs) {
  Sprite& live = PlaceThug(1, 740, THUG_WALK_RIGHT);
  Sprite& out = PlaceThug(2, 1380, THUG_WALK_RIGHT);
  DestroySprite(&out);

  Hero.x = 606;
  HeroStep = 4;
  ChangeScreenAtEdges();
  EXPECT_EQ(ScreenIndex, 1);
  EXPECT_FLOAT_EQ(Hero.x, -36.0f);
  EXPECT_FLOAT_EQ(live.x, 100.0f);
  EXPECT_FLOAT_EQ(out.x, 1380.0f) << "knocked-out thugs are not shifted";

  Hero.x = -37;
  ChangeScreenAtEdges();
  EXPECT_EQ(ScreenIndex, 0);
  EXPECT_FLOAT_EQ(Hero.x, 604.0f);
  EXPECT_FLOAT_EQ(live.x, 740.0f);

  // Screen 0 has no left neighbour, screen 12 no right one.
  Hero.x = -40;
  ChangeScreenAtEdges();
  EXPECT_EQ(ScreenIndex, 0);
  EXPECT_FLOAT_EQ(Hero.x, -36.0f);
  ScreenIndex = 12;
  Hero.x = 606;
  HeroStep = 4;
  ChangeScreenAtEdges();
  EXPECT_EQ(ScreenIndex, 12);
  EXPECT_FLOAT_EQ(Hero.x, 602.0f) << "the walk of this frame is undone";
  Hero.x = 604;
  ChangeScreenAtEdges();
  EXPECT_FLOAT_EQ(Hero.x, 604.0f) << "604 is not past the edge";
}

TEST(VictoryMultiplier, FollowsTheParTime) {
  const struct {
    int finish, multiplier;
  } table[] = {{181, 1}, {180, 1}, {179, 2}, {120, 2}, {119, 3}, {60, 3}, {59, 4}, {0, 4}};
  for (const auto& row : table) EXPECT_EQ(ScoreMultiplierFor(180, row.finish, 1), row.multiplier) << row.finish;
}

TEST(KnockoutCries, EachKnockoutShowsTheNextCry) {
  const std::vector<std::string> thug = {"Ugh!", "Ow!", "NOOO!", "Argh!", "Barf!", "Ugh!"};
  const std::vector<std::string> hero = {"Hah!", "Take that!", "Hahaa!", "Hah!", "Take that!", "Hahaa!"};
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(ThugCry(k), thug[k - 1]);
    EXPECT_EQ(HeroCry(k), hero[k - 1]);
  }
}

// Level frames on the real (headless) display, with no pictures loaded.
class LevelFrameTest : public LevelFixture {
 protected:
  void SetUp() override {
    platform::SelectBackend(platform::Backend::Headless);
    LevelFixture::SetUp();
    back_buffer = nullptr;
    back_pitch = 0;
    DisplayInit(640, 480, 8, 0);
    SetTextObserver([this](const char* text, int32_t, int32_t) { texts_.emplace_back(text); });
  }
  void TearDown() override {
    SetTextObserver(nullptr);
    platform::SetHeldKeys(0);
    DrainMessages();
    LevelFixture::TearDown();
  }
  void Frame(uint32_t keys) {
    texts_.clear();
    platform::SetHeldKeys(keys);
    LevelFrame();
  }
  bool Shown(const std::string& text) const { return std::find(texts_.begin(), texts_.end(), text) != texts_.end(); }

  std::vector<std::string> texts_;
};

TEST_F(LevelFrameTest, PauseStopsPlayButNotTheCounters) {
  HitCooldown = 0;
  Frame(KeyBit(Key::Enter));
  EXPECT_EQ(Paused, 1);
  EXPECT_TRUE(Shown(PAUSE_TEXT));
  EXPECT_FALSE(Shown("HEALTH")) << "a pause frame is black but for its line";

  // Enter is tested before Space: with both held the frame still pauses.
  Frame(KeyBit(Key::Enter) | KeyBit(Key::Space) | KeyBit(Key::Right));
  EXPECT_TRUE(Shown(PAUSE_TEXT));
  EXPECT_FLOAT_EQ(Hero.x, 16.0f);
  EXPECT_FLOAT_EQ(Hero.y, 200.0f);
  EXPECT_EQ(FrameCounter, 2);
  EXPECT_EQ(HitCooldown, 2);

  Frame(KeyBit(Key::Right));
  EXPECT_FLOAT_EQ(Hero.x, 20.0f);
  EXPECT_FLOAT_EQ(Hero.y, 208.0f) << "no street in an empty picture: the hero sinks";
  EXPECT_TRUE(Shown("HEALTH"));
  EXPECT_TRUE(Shown("RAGE"));
  EXPECT_TRUE(Shown("Left/Right Arrows = Movement"));
  EXPECT_EQ(HitCooldown, 3);

  Frame(KeyBit(Key::Enter));
  Frame(KeyBit(Key::Right));
  EXPECT_EQ(Paused, 1) << "only Space ends a pause";
  EXPECT_FLOAT_EQ(Hero.x, 20.0f);
  Frame(KeyBit(Key::Space) | KeyBit(Key::Right));
  EXPECT_EQ(Paused, 0);
  EXPECT_FLOAT_EQ(Hero.x, 20.0f) << "the frame that ends the pause is still a pause frame";
  Frame(KeyBit(Key::Right));
  EXPECT_FLOAT_EQ(Hero.x, 24.0f);
  EXPECT_EQ(FrameCounter, 7);
}

TEST_F(LevelFrameTest, MessageBarFollowsTheMode) {
  MessageMode = 2;
  Frame(0);
  EXPECT_TRUE(Shown("There you are!"));
  EXPECT_FALSE(Shown("Up Arrow = Jump"));
  MessageMode = 3;
  Knockouts = 2;
  Frame(0);
  EXPECT_TRUE(Shown("Ow!"));
  EXPECT_TRUE(Shown("Take that!"));
}

TEST_F(LevelFrameTest, EscapeAsksToEndTheLevel) {
  Frame(KeyBit(Key::Escape));
  platform::MSG msg{};
  ASSERT_TRUE(platform::PeekMessage(&msg));
  EXPECT_EQ(msg.message, platform::WM_DESTROY);
}

}  // namespace
